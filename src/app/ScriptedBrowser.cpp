#include "app/ScriptedBrowser.h"

#include "base/Error.h"
#include "base/Text.h"

namespace tessaly {
namespace {

// More page starts than this between two waits can only be a script (or a
// handler) that navigates in a circle; a real tour waits between pages.
constexpr int kMaxStartsWithoutWait = 100;

// The longest address the platform's browser control navigates to. Without
// a limit, a section that navigates to itself with "{origin}" in the middle of
// its address feeds the address back into its origin and grows it each round.
constexpr std::size_t kMaxUrlLength = 2083;

// Nothing when the address would be longer than kMaxUrlLength.
std::optional<std::wstring> Expand(const std::wstring& text, const std::wstring& origin) {
    std::wstring out = text;
    const std::wstring key = L"{origin}";
    for (auto at = out.find(key); at != std::wstring::npos;
         at = out.find(key, at + origin.size())) {
        out.replace(at, key.size(), origin);
        if (out.size() > kMaxUrlLength) return std::nullopt;
    }
    if (out.size() > kMaxUrlLength) return std::nullopt;
    return out;
}

} // namespace

ScriptedBrowser::ScriptedBrowser(BrowserScript script)
    : script_(std::move(script)) {}

void ScriptedBrowser::Navigate(const std::wstring& url) {
    navigations_.push_back(url);
    PlayNavigation(url);
}

void ScriptedBrowser::Refresh() {
    ++refreshCount_;
    if (!currentUrl_.empty()) Start(currentUrl_);
}

void ScriptedBrowser::Place(int left, int top, int width, int height) {
    placement_ = {left, top, width, height};
}

bool ScriptedBrowser::PlayNavigation(const std::wstring& url, bool topLevel) {
    bool cancel = false;
    BeforeNavigate2.Raise(url, topLevel, cancel);
    // A frame's page plays nothing: the script is the top-level page's.
    if (!cancel && topLevel) Start(url);
    return !cancel;
}

void ScriptedBrowser::PlayDocumentComplete(const std::wstring& url, const std::wstring& documentUrl,
                                           long long length) {
    documentUrl_ = documentUrl;
    documentLength_ = length;
    DocumentComplete.Raise(url);
}

void ScriptedBrowser::PlayTitleChange(const std::wstring& title) {
    title_ = title;
    TitleChange.Raise(title);
}

void ScriptedBrowser::Start(const std::wstring& url) {
    ++starts_;
    currentUrl_ = url;
    section_ = script_.SectionFor(url);
    next_ = 0;
    sectionUrl_ = url;
    if (section_ && StepsQueued) StepsQueued();
}

std::optional<long long> ScriptedBrowser::Advance() {
    const long long startsBefore = starts_;
    while (section_ && next_ < section_->steps.size()) {
        if (starts_ - startsBefore > kMaxStartsWithoutWait) {
            Stop(std::to_string(kMaxStartsWithoutWait) +
                 " pages started without a wait; it navigates in a circle at " +
                 WideToUtf8(currentUrl_));
        }
        // Copies: a step's handlers may start another section, which then
        // plays on from its first step.
        const ScriptStep step = section_->steps[next_++];
        const std::wstring url = sectionUrl_;
        switch (step.kind) {
        case ScriptStep::Kind::Wait:
            return step.number;
        case ScriptStep::Kind::DownloadBegin:
            PlayDownloadBegin();
            break;
        case ScriptStep::Kind::Complete:
            PlayDocumentComplete(url, url, step.number);
            break;
        case ScriptStep::Kind::Title:
            PlayTitleChange(step.text);
            break;
        case ScriptStep::Kind::Navigate:
        case ScriptStep::Kind::FrameNavigate:
        case ScriptStep::Kind::NewWindow:
            if (const auto target = Expand(step.text, OriginOf(url))) {
                if (step.kind == ScriptStep::Kind::NewWindow)
                    PlayNewWindow(*target);
                else
                    PlayNavigation(*target, step.kind == ScriptStep::Kind::Navigate);
            } else {
                Stop("an address longer than " + std::to_string(kMaxUrlLength) +
                     " characters from \"" + WideToUtf8(step.text) + "\"");
            }
            break;
        case ScriptStep::Kind::Error:
            PlayNavigateError(url, true);
            break;
        }
    }
    section_ = nullptr;
    return std::nullopt;
}

void ScriptedBrowser::Stop(const std::string& reason) {
    section_ = nullptr;
    throw Error(error::kInvalidArgument, "browser script: " + reason);
}

} // namespace tessaly
