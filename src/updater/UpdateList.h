#pragma once
// What the updater reads: its start parameter ("<client folder>|<client
// exe>") and the file lines of the update manifest the client left in the
// temporary folder ("<name>|<address>|<sha-256 hex>"; lines naming the
// version are not files). Each file is saved in the client's folder under the
// name after the address's last "/". A name that could reach outside the
// folder or name a device is refused, and so is a line without an address;
// a manifest with a refused line is not applied at all.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessaly {

struct StartParameter {
    std::wstring folder;    // always ends with "\"
    std::wstring clientExe; // empty when the parameter names none
};

// Nothing for an empty parameter: the updater then ends at once.
std::optional<StartParameter> ParseStartParameter(std::wstring_view text);
// Why the updater must not act on a parameter, or empty when it may: its
// folder must be absolute and the client a program directly inside it (or
// not named at all).
std::wstring StartParameterProblem(const StartParameter& parameter);

struct UpdateFile {
    std::wstring url;
    std::wstring localName;
    std::wstring target; // folder + local name
    std::wstring sha256; // 64 lower-case hex digits; a line without them is refused
};

struct RefusedLine {
    std::wstring line;
    std::wstring reason;
};

struct UpdateList {
    std::vector<UpdateFile> files;
    std::vector<RefusedLine> refused;
};

UpdateList ReadUpdateList(std::wstring_view manifest, const std::wstring& folder);

// The text after the address's last "/" (the whole address without one).
std::wstring LocalNameOf(std::wstring_view url);
// Why a local name cannot be used, or empty when it can.
std::wstring UnsafeNameReason(std::wstring_view name);

} // namespace tessaly
