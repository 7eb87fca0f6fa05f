#pragma once
// What the client starts the updater with:
// "<client folder>|<client exe>|<client process id>|<manifest SHA-256>", the
// folder as the platform reports it for the running client. The process id
// lets the updater wait for that very process; the hash binds the updater to
// the manifest bytes the client checked, whatever lies in a temporary folder
// later.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tessaly {

struct StartParameter {
    std::wstring folder;         // always ends with "\"
    std::wstring clientExe;      // empty when the parameter names none
    std::uint32_t clientPid = 0; // 0 when the parameter gives none
    std::wstring manifestSha256; // lower-case hex; empty when the parameter gives none
};

// The parameter for a client `programName`.exe in `programFolder` (no
// trailing backslash except at a drive root) running as `pid`, whose checked
// manifest has this SHA-256.
std::wstring UpdaterParameters(std::wstring_view programFolder, std::wstring_view programName,
                               std::uint32_t pid, std::wstring_view manifestSha256);

// Nothing for an empty parameter: the updater then ends at once. The fields
// after the folder are read as far as they are there; a process id or hash
// that is no such thing is kept empty, for StartParameterProblem to refuse.
std::optional<StartParameter> ParseStartParameter(std::wstring_view text);
// Why the updater must not act on a parameter, or empty when it may: its
// folder must be absolute, the client a program directly inside it, and the
// process id and manifest hash there, as the client always passes them.
std::wstring StartParameterProblem(const StartParameter& parameter);

// What the updater starts once the update is complete: the last file it
// placed when that is a program directly in the client's folder (the client
// itself, or a new one), otherwise the client. A document would open in
// whatever program its type names, and the updater itself without its
// parameter would do nothing, leaving the player without a client.
std::wstring ProgramToStart(const StartParameter& parameter, std::wstring_view lastName);

} // namespace tessaly
