#pragma once
// The login page drives the client by navigating to "app://" addresses. The
// command texts are matched anywhere in the address, first match wins:
//   app://exitgame             close the login pair
//   app://minimize             minimise the login pair
//   app://loadgame|<address>   hand the game address over to the main window
// Only the text between the first and a possible second "|" is the address.

#include <string>
#include <string_view>

namespace tessaly {

struct LoginCommand {
    enum class Kind { None, ExitGame, Minimize, LoadGame };
    Kind kind = Kind::None;
    // For LoadGame: the game address, or empty when the address is missing or
    // not an absolute http or https address (the command is then ignored).
    std::wstring address;
    // Whether the navigation to the command address is stopped. Only a valid
    // hand-over lets it run (the pair closes anyway); an ignored one must not
    // leave the login page showing an error for "app://".
    bool cancelNavigation = false;
};

LoginCommand ParseLoginCommand(std::wstring_view url);

} // namespace tessaly
