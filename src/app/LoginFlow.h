#pragma once
// What the login window does with its page's events: the "app://" commands of
// the page itself (never of one of its frames), and showing the window pair
// once the top-level login page has completed with enough content. An empty or
// unreachable login page, or one that never completes, gets the connection
// message; it ends the client, unless a game session is open, which it keeps
// while only the login pair closes.

#include "app/Browser.h"

#include <string>

namespace tessaly {

// What the flow asks of the login window pair. The implementation may act
// later (closing must wait until the browser's event has returned).
class LoginWindows {
public:
    virtual ~LoginWindows() = default;
    virtual void ClosePair() = 0;
    virtual void MinimizePair() = 0;
    // Makes the pair visible (background first) and closes the splash.
    virtual void ShowPair() = 0;
    // Closes the pair and opens the address in the main window.
    virtual void HandOver(const std::wstring& address) = 0;
    // The connection message, then the end of the process, or with
    // endProcess false the end of the login pair only.
    virtual void SayNoConnection(bool endProcess) = 0;
    // True while the main window is loaded.
    virtual bool GameSessionOpen() const = 0;
};

class LoginFlow {
public:
    // Fewer characters than this in the document element means the server
    // sent no real login page.
    static constexpr long long kMinimumPageLength = 100;

    LoginFlow(Browser& browser, LoginWindows& windows);
    LoginFlow(const LoginFlow&) = delete;
    LoginFlow& operator=(const LoginFlow&) = delete;

    // The bounded wait for the login page is over.
    void WaitExpired();
    bool completed() const { return completed_; }

private:
    void OnBeforeNavigate(const std::wstring& url, bool topLevel, bool& cancel);
    void OnDocumentComplete(const std::wstring& url);
    void OnNavigateError(bool topLevel);
    void Fail();

    Browser& browser_;
    LoginWindows& windows_;
    bool completed_ = false;
    bool ended_ = false;
};

} // namespace tessaly
