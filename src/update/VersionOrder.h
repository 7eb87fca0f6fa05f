#pragma once
// Versions as the manifest writes them and as the client calls itself:
// numbers joined by single dots, compared number by number, so "1.10.0" is
// above "1.9.2".
//
// - A missing number counts as zero: "1.1" is "1.1.0".
// - Leading zeros do not change a number: "1.01" is "1.1".
// - At most three numbers, none above 65535. The client's own version is
//   major.minor.revision from its version resource, whose numbers are 16-bit:
//   a version beyond that is one no client can ever call itself, and
//   offering it would offer the same update again after every update.
// Anything else (blanks, signs, letters, empty numbers) is not a version.

#include <string_view>

namespace tessaly {

enum class VersionOrder {
    Lower,
    Same,
    Higher,
    Unreadable, // either text is not a version
};

// How `offered` stands to `own`.
VersionOrder CompareVersions(std::wstring_view offered, std::wstring_view own);
bool IsVersionText(std::wstring_view text);

} // namespace tessaly
