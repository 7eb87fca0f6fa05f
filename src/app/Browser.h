#pragma once
// What the windows need of an embedded web browser, whatever engine shows the
// page: the platform's WebBrowser control, or the scripted browser of the
// tests and the demo tour. Events arrive on the user-interface thread.
// A handler must not destroy the window that holds the browser from inside an
// event; the windows post themselves a message and close after it returns.

#include "base/Event.h"

#include <string>

namespace tessaly {

class Browser {
public:
    virtual ~Browser() = default;

    Event<> DownloadBegin;
    Event<const std::wstring& /*text*/> TitleChange;
    // topLevel is false for a frame's navigation. Setting cancel stops it.
    Event<const std::wstring& /*url*/, bool /*topLevel*/, bool& /*cancel*/> BeforeNavigate2;
    // Raised for every frame and for the top-level page.
    Event<const std::wstring& /*url*/> DocumentComplete;
    // A navigation that failed; topLevel is false for a frame's.
    Event<const std::wstring& /*url*/, bool /*topLevel*/> NavigateError;
    // The page asked for a window of its own (window.open, target=_blank).
    // None opens: such a window would stand outside the client, without its
    // session; a handler may open the address somewhere of its own.
    Event<const std::wstring& /*url*/> NewWindow3;

    // Returns before the page has loaded.
    virtual void Navigate(const std::wstring& url) = 0;
    virtual void Refresh() = 0;
    // True: the page raises no dialog boxes (script errors and the like).
    virtual void SetSilent(bool silent) = 0;
    // The page's own context menu (copy and paste) stays unless this is called.
    virtual void SuppressContextMenu() = 0;
    // Gives the keyboard focus to the page.
    virtual void Focus() = 0;

    // The current document; empty text and zero without one.
    virtual std::wstring DocumentUrl() = 0;
    virtual long long DocumentInnerHtmlLength() = 0;
    virtual void SetDocumentOverflowHidden() = 0;

    // The browser's rectangle inside its container, in pixels; the container
    // clips it, so callers may place it partly outside to hide its border.
    virtual void Place(int left, int top, int width, int height) = 0;
};

} // namespace tessaly
