// The login page is a web page: every address it navigates to is read for
// the client's commands, and a hand-over passes its game address on to the
// main window.

#include "FuzzInput.h"

#include "app/LoginCommand.h"
#include "base/Config.h"

using namespace tessaly;
using namespace tessaly::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring url = TextOf(data, size);
    if (IsAbsoluteHttpUrl(url)) {
        Require(!HasControlCharacter(url), "an http address holds no control character");
        const std::wstring lower = AsciiLower(url);
        Require(lower.starts_with(L"http://") || lower.starts_with(L"https://"),
                "an http address has its scheme");
    }

    const LoginCommand command = ParseLoginCommand(url);
    if (command.kind != LoginCommand::Kind::LoadGame) {
        Require(command.address.empty(), "only a hand-over carries an address");
    }
    if (!command.address.empty()) {
        Require(IsAbsoluteHttpUrl(command.address), "a handed-over address is http");
        Require(command.address.find(L'|') == std::wstring::npos, "an address is one field");
    }
    if (command.kind == LoginCommand::Kind::LoadGame) {
        Require(url.starts_with(L"app://loadgame"), "a hand-over is the address itself");
    }
    Require(command.cancelNavigation || !IsAppAddress(url), "no app:// address is loaded");
    return 0;
}
