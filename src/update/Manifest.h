#pragma once
// The update manifest, as both the client and the updater read it: text lines,
// the first of which that mentions "version" names the version on offer
// ("version=1.2.0"); every other line is a file for the updater
// ("name|address|sha-256 hex").
//
// - A line ends at CR, LF or CR LF; blanks (space, tab, CR, LF, Ctrl-Z) at
//   either end of a line or a field are not part of it, and a line with
//   nothing else is no line. Editors and servers add such blanks freely, and
//   none of them may change what a manifest means.
// - The version line is the first whose text, lower-cased, contains "version"
//   anywhere. Its value starts at its 9th character, whatever the first eight
//   are. A later line that mentions "version" is a file line like any other:
//   an address such as ".../versions/1.2.0/Tessaly.exe" names a file.
// - A file line has at least two fields split at "|"; field 1 is an absolute
//   http or https address whose text after the last "/" is the file's name in
//   the client's folder; field 2 is the file's SHA-256 as 64 hex digits. A
//   line that breaks any of this, whose name could reach outside the folder
//   or name a device, is one the updater keeps for its own files, or is
//   named by an earlier line too, is refused: the updater applies no
//   manifest with a refused line.
//
// The text is the manifest's bytes decoded from the system code page; the
// caller keeps the bytes themselves for whatever checks them as a whole.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessaly {

struct ManifestFile {
    std::wstring url;
    std::wstring localName;
    std::wstring sha256; // 64 lower-case hex digits
};

struct RefusedLine {
    std::wstring line;
    std::wstring reason;
};

struct Manifest {
    std::optional<std::wstring> version; // nullopt when no line names one
    std::vector<ManifestFile> files;
    std::vector<RefusedLine> refused;
};

Manifest ParseManifest(std::wstring_view text);

// The manifest's lines by the rules above: without their blanks, none empty.
std::vector<std::wstring_view> ManifestLines(std::wstring_view text);
// 64 hex digits, in either letter case.
bool IsSha256Hex(std::wstring_view text);
// Without space, tab, CR, LF and Ctrl-Z at either end.
std::wstring_view TrimBlanks(std::wstring_view text);

// 64 hex digits, in either letter case.
bool IsSha256Hex(std::wstring_view text);

// The text after the address's last "/" (the whole address without one).
std::wstring LocalNameOf(std::wstring_view url);

} // namespace tessaly
