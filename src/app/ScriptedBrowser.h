#pragma once
// A browser without an engine: the tests play page events on it directly, and
// a script plays them when the client navigates (see BrowserScript.h). It
// records what the client asked of it.

#include "app/Browser.h"
#include "app/BrowserScript.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tessaly {

class ScriptedBrowser : public Browser {
public:
    explicit ScriptedBrowser(BrowserScript script = {});

    void Navigate(const std::wstring& url) override;
    void Refresh() override;
    void SetSilent(bool silent) override { silent_ = silent; }
    void SuppressContextMenu() override { contextMenuSuppressed_ = true; }
    void Focus() override { ++focusCount_; }
    std::wstring DocumentUrl() override { return documentUrl_; }
    long long DocumentInnerHtmlLength() override { return documentLength_; }
    void SetDocumentOverflowHidden() override { overflowHidden_ = true; }
    void Place(int left, int top, int width, int height) override;

    // Page events, as an engine would raise them.
    void PlayDownloadBegin() { DownloadBegin.Raise(); }
    // The page, or one of its frames, navigates by itself (a link, a
    // script); false when cancelled.
    bool PlayNavigation(const std::wstring& url, bool topLevel = true);
    void PlayDocumentComplete(const std::wstring& url, const std::wstring& documentUrl,
                              long long length);
    void PlayTitleChange(const std::wstring& title);
    void PlayNavigateError(const std::wstring& url, bool topLevel) {
        NavigateError.Raise(url, topLevel);
    }
    void PlayNewWindow(const std::wstring& url) { NewWindow3.Raise(url); }

    // Plays the script's steps until a wait (returns its milliseconds) or the
    // end of the section (nullopt). Steps that keep starting pages without a
    // wait, or navigate to an address too long for a browser, raise the
    // invalid-argument error and stop the script.
    std::optional<long long> Advance();
    // Called whenever a navigation queued new steps, so the host can start
    // advancing (from its timer, not from inside Navigate).
    std::function<void()> StepsQueued;

    const std::vector<std::wstring>& navigations() const { return navigations_; }
    const std::wstring& title() const { return title_; }
    bool silent() const { return silent_; }
    bool overflowHidden() const { return overflowHidden_; }
    int refreshCount() const { return refreshCount_; }
    bool contextMenuSuppressed() const { return contextMenuSuppressed_; }
    int focusCount() const { return focusCount_; }
    struct Rect {
        int left = 0, top = 0, width = 0, height = 0;
    };
    const Rect& placement() const { return placement_; }

private:
    void Start(const std::wstring& url);
    [[noreturn]] void Stop(const std::string& reason);

    BrowserScript script_;
    const ScriptSection* section_ = nullptr;
    std::size_t next_ = 0;
    long long starts_ = 0; // pages started, to see navigation loops
    std::wstring sectionUrl_;
    std::wstring currentUrl_;

    std::vector<std::wstring> navigations_;
    std::wstring documentUrl_;
    long long documentLength_ = 0;
    std::wstring title_;
    bool silent_ = false;
    bool overflowHidden_ = false;
    int refreshCount_ = 0;
    bool contextMenuSuppressed_ = false;
    int focusCount_ = 0;
    Rect placement_;
};

} // namespace tessaly
