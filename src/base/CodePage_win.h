#pragma once
// Conversions to and from the system (ANSI) code page, for the few texts that
// cross 8-bit interfaces: the version manifest and the tab captions' metrics.
// Characters the code page lacks become its default character ('?').

#include <string>
#include <string_view>

namespace tessaly::win {

std::string ToSystemCodePage(std::wstring_view text);
std::wstring FromSystemCodePage(std::string_view text);

} // namespace tessaly::win
