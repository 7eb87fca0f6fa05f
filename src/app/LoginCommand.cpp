#include "app/LoginCommand.h"

#include "base/Config.h"
#include "base/Text.h"

namespace tessaly {

bool IsAppAddress(std::wstring_view url) {
    return AsciiLower(url.substr(0, 6)) == L"app://";
}

LoginCommand ParseLoginCommand(std::wstring_view url) {
    LoginCommand command;
    command.cancelNavigation = IsAppAddress(url);
    if (url.find(L"app://exitgame") != std::wstring_view::npos) {
        command.kind = LoginCommand::Kind::ExitGame;
        command.cancelNavigation = true;
    } else if (url.find(L"app://minimize") != std::wstring_view::npos) {
        command.kind = LoginCommand::Kind::Minimize;
        command.cancelNavigation = true;
    } else if (url.starts_with(L"app://loadgame")) {
        command.kind = LoginCommand::Kind::LoadGame;
        const auto first = url.find(L'|');
        if (first != std::wstring_view::npos) {
            std::wstring_view address = url.substr(first + 1);
            address = address.substr(0, address.find(L'|'));
            if (IsAbsoluteHttpUrl(address)) command.address = address;
        }
    }
    return command;
}

} // namespace tessaly
