#pragma once
// The running program's own resources: raw bytes, bitmaps, and resources
// written out as files.

#include <windows.h>

#include "base/Handles_win.h"

#include <string>

namespace tessaly::win {

struct ResourceBytes {
    const void* data = nullptr; // belongs to the module: nothing to free
    DWORD size = 0;
};

// Empty (and an error-log entry) when the resource is missing.
ResourceBytes FindResourceBytes(int id, const wchar_t* type);

// A bitmap resource of this program as a DIB section; empty when it is missing.
UniqueBitmap LoadBitmapResource(int id);

// Writes the raw bytes of a resource as the whole content of the file.
// False (and an error-log entry) when the resource is missing or the file
// cannot be written.
bool SaveResToFile(int id, const wchar_t* type, const std::wstring& path);

} // namespace tessaly::win
