#include "app/LoginCommand.h"

#include "base/Config.h"

namespace tessaly {

LoginCommand ParseLoginCommand(std::wstring_view url) {
    LoginCommand command;
    if (url.find(L"app://exitgame") != std::wstring_view::npos) {
        command.kind = LoginCommand::Kind::ExitGame;
        command.cancelNavigation = true;
    } else if (url.find(L"app://minimize") != std::wstring_view::npos) {
        command.kind = LoginCommand::Kind::Minimize;
        command.cancelNavigation = true;
    } else if (url.find(L"app://loadgame") != std::wstring_view::npos) {
        command.kind = LoginCommand::Kind::LoadGame;
        const auto first = url.find(L'|');
        if (first != std::wstring_view::npos) {
            std::wstring_view address = url.substr(first + 1);
            address = address.substr(0, address.find(L'|'));
            if (IsAbsoluteHttpUrl(address)) command.address = address;
        }
        command.cancelNavigation = command.address.empty();
    }
    return command;
}

} // namespace tessaly
