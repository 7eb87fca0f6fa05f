#include "app/LoginFlow.h"

#include "app/LoginCommand.h"

namespace tessaly {

LoginFlow::LoginFlow(Browser& browser, LoginWindows& windows)
    : browser_(browser)
    , windows_(windows) {
    browser_.DownloadBegin.Connect([this] { browser_.SetSilent(true); });
    browser_.BeforeNavigate2.Connect([this](const std::wstring& url, bool topLevel, bool& cancel) {
        OnBeforeNavigate(url, topLevel, cancel);
    });
    browser_.DocumentComplete.Connect([this](const std::wstring& url) { OnDocumentComplete(url); });
    browser_.NavigateError.Connect(
        [this](const std::wstring&, bool topLevel) { OnNavigateError(topLevel); });
}

void LoginFlow::OnBeforeNavigate(const std::wstring& url, bool topLevel, bool& cancel) {
    // A frame may hold any site's page: it commands nothing.
    const LoginCommand command = topLevel ? ParseLoginCommand(url) : LoginCommand{};
    if (command.cancelNavigation || IsAppAddress(url)) cancel = true;
    switch (command.kind) {
    case LoginCommand::Kind::ExitGame:
        windows_.ClosePair();
        break;
    case LoginCommand::Kind::Minimize:
        windows_.MinimizePair();
        break;
    case LoginCommand::Kind::LoadGame:
        if (!command.address.empty()) windows_.HandOver(command.address);
        break;
    case LoginCommand::Kind::None:
        break;
    }
}

void LoginFlow::OnDocumentComplete(const std::wstring& url) {
    if (ended_) return;
    browser_.SetSilent(true);
    if (browser_.DocumentInnerHtmlLength() < kMinimumPageLength) {
        Fail();
        return;
    }
    // A frame's completion carries the frame's address, which the top-level
    // document's address does not contain.
    if (browser_.DocumentUrl().find(url) != std::wstring::npos) {
        completed_ = true;
        windows_.ShowPair();
    }
}

void LoginFlow::OnNavigateError(bool topLevel) {
    if (!topLevel || completed_ || ended_) return;
    Fail();
}

void LoginFlow::WaitExpired() {
    if (completed_ || ended_) return;
    Fail();
}

void LoginFlow::Fail() {
    ended_ = true;
    // Ending the process would end the game the player is still in.
    windows_.SayNoConnection(!windows_.GameSessionOpen());
}

} // namespace tessaly
