#pragma once
// What a program was started with.

#include <string_view>

namespace tessaly {

// The argument text of a command line: what follows the program's name (quoted
// or not) and the blanks after it. Blanks at the end are kept: a switch must
// match exactly.
std::wstring_view ArgumentsOf(std::wstring_view commandLine);

} // namespace tessaly
