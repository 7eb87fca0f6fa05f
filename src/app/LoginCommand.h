#pragma once
// The login page drives the client by navigating to "app://" addresses:
//   app://exitgame             close the login pair
//   app://minimize             minimise the login pair
//   app://loadgame|<address>   hand the game address over to the main window
// The first two are found anywhere in the address, first match wins; a
// hand-over must be the address itself, so a link that merely carries one in
// its query hands nothing over. Only the text between the first and a
// possible second "|" is the game address. No engine can load an "app://"
// address: every navigation to one is stopped.

#include <string>
#include <string_view>

namespace tessaly {

struct LoginCommand {
    enum class Kind { None, ExitGame, Minimize, LoadGame };
    Kind kind = Kind::None;
    // For LoadGame: the game address, or empty when the address is missing or
    // not an absolute http or https address (the command is then ignored).
    std::wstring address;
    // Whether the navigation to the command address is stopped.
    bool cancelNavigation = false;
};

LoginCommand ParseLoginCommand(std::wstring_view url);

// The client's own scheme, in any letter case.
bool IsAppAddress(std::wstring_view url);

} // namespace tessaly
