#pragma once
// Shell utilities shared by the windows: the temporary folder, resources
// written to files, PNG resources decoded with GDI+, per-pixel-alpha painting
// of layered windows, and rounded window regions.

#include "app/GdiPlus_win.h"
#include "base/Handles_win.h"

#include <string>

namespace tessaly::win {

// The user's temporary folder, ending in exactly one backslash.
std::wstring GetTempDir();

// The icon file that the login window writes into the temporary folder; the
// main window takes its icons from it too.
std::wstring IconFilePath();
// One size of an .ico file; empty when the file cannot be read.
UniqueIcon LoadIconFile(const std::wstring& path, int size);
// A bitmap resource of this program as a DIB section; empty when it is missing.
UniqueBitmap LoadBitmapResource(int id);

// Writes the raw bytes of a resource as the whole content of the file.
// False (and an error-log entry) when the resource is missing or the file
// cannot be written.
bool SaveResToFile(int id, const wchar_t* type, const std::wstring& path);

// Decodes a PNG held as a resource of a named type; empty when it is missing
// or not an image.
StreamImage LoadPngResource(int id, const wchar_t* type);

// The memory DC and 32-bit premultiplied bitmap behind a layered window's
// image. The window keeps it until it closes. Windows does not delete a
// bitmap that is still selected into a DC, so every release (Reset, which
// assignment and destruction use too) gives the DC its first bitmap back,
// then deletes the bitmap, then the DC.
struct LayeredCanvas {
    LayeredCanvas() = default;
    LayeredCanvas(LayeredCanvas&&) noexcept = default;
    LayeredCanvas& operator=(LayeredCanvas&& other) noexcept;
    ~LayeredCanvas() { Reset(); }
    void Reset();

    UniqueBitmap bitmap;
    UniqueDC dc;
    Selection selection;
    void* bits = nullptr;
    int width = 0;
    int height = 0;
};

// Makes the window's content the image with its per-pixel alpha; the window
// takes the image's size and keeps its position.
LayeredCanvas PaintLayered(HWND window, Gdiplus::GpImage* image);

// Gives the window a rounded-rectangle region from (0, 0); the window owns it.
void RectRgn(HWND hWnd, short right, short Buttom, short ellipseWidth, short ellipseHeight);

} // namespace tessaly::win
