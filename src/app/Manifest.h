#pragma once
// The update manifest: text lines, one of which names the current version
// ("version=1.2.0"); the others are the updater's file entries
// ("name|address|..."), which the client itself does not read.
//
// A line ends at CR or at CR LF; a lone LF stays part of its line. The version
// line is the first whose text, lower-cased, contains "version" anywhere. Its
// value starts at its 9th character, whatever the first eight are, and loses
// its leading and trailing spaces. Lines before it are skipped, lines after it
// are not read.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessaly {

// The manifest's lines, split by those rules.
std::vector<std::wstring_view> ManifestLines(std::wstring_view text);
// A line that names the version rather than a file ("Version" in any case, anywhere).
bool IsVersionLine(std::wstring_view line);

// The value of the version line; nullopt when no line is one. The text is the
// manifest's bytes already decoded from the system code page, so the 9th
// character is a character, not a byte of one.
std::optional<std::wstring> ManifestVersion(std::wstring_view text);

} // namespace tessaly
