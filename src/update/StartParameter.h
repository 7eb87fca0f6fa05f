#pragma once
// What the client starts the updater with: "<client folder>|<client exe>",
// the folder as the platform reports it for the running client.

#include <optional>
#include <string>
#include <string_view>

namespace tessaly {

struct StartParameter {
    std::wstring folder;    // always ends with "\"
    std::wstring clientExe; // empty when the parameter names none
};

// "folder|folder\name.exe" for a client `programName`.exe in `programFolder`
// (no trailing backslash except at a drive root).
std::wstring UpdaterParameters(std::wstring_view programFolder, std::wstring_view programName);

// Nothing for an empty parameter: the updater then ends at once.
std::optional<StartParameter> ParseStartParameter(std::wstring_view text);
// Why the updater must not act on a parameter, or empty when it may: its
// folder must be absolute and the client a program directly inside it (or
// not named at all).
std::wstring StartParameterProblem(const StartParameter& parameter);

} // namespace tessaly
