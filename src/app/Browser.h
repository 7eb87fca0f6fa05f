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
    // Setting cancel stops the navigation.
    Event<const std::wstring& /*url*/, bool& /*cancel*/> BeforeNavigate2;
    // Raised for every frame and for the top-level page.
    Event<const std::wstring& /*url*/> DocumentComplete;
    // A navigation that failed; topLevel is false for a frame's.
    Event<const std::wstring& /*url*/, bool /*topLevel*/> NavigateError;

    // Returns before the page has loaded.
    virtual void Navigate(const std::wstring& url) = 0;
    virtual void Refresh() = 0;
    // True: the page raises no dialog boxes (script errors and the like).
    virtual void SetSilent(bool silent) = 0;

    // The current document; empty text and zero without one.
    virtual std::wstring DocumentUrl() = 0;
    virtual long long DocumentInnerHtmlLength() = 0;
    virtual void SetDocumentOverflowHidden() = 0;

    // The browser's rectangle inside its container, in pixels; the container
    // clips it, so callers may place it partly outside to hide its border.
    virtual void Place(int left, int top, int width, int height) = 0;
};

} // namespace tessaly
