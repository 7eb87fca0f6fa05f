#pragma once
// DLLs come from the system folder only, never from the program's folder or
// the current one: the updater runs from the temporary folder, where any
// program can leave a DLL under a system DLL's name.
//
// The programs import at load time only KnownDLLs, which Windows always takes
// from the system folder; every other DLL is delay-loaded
// (cmake/DelayImports.cmake), and this file's delay-load hook loads it from
// the system folder on its first use, whenever that comes.

#include <windows.h>

namespace tessaly::win {

// The first call of every program: DLLs that the system or a library loads
// by name later are searched for in the system folder only.
void UseSystemDllsOnly();

// Loads a DLL from the system folder ahead of its first use (on another
// thread, while this one waits for something else); the delay-load helper
// then finds it loaded. Null when it cannot be loaded.
HMODULE PreloadSystemDll(const char* name);

} // namespace tessaly::win
