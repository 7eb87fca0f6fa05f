#pragma once
// Reads the configuration from Tessaly.ini beside the running program.

#include "base/Config.h"

#include <string>

namespace tessaly::win {

// The folder of the running executable, without a trailing backslash except
// at a drive root.
std::wstring ProgramFolder();
// The same, always ending in a backslash.
std::wstring ProgramFolderWithSeparator();
std::wstring ProgramPath();

Config LoadConfigFromIni(const std::wstring& iniPath);
Config LoadProgramConfig(); // Tessaly.ini in ProgramFolder()

} // namespace tessaly::win
