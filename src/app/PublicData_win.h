#pragma once
// Shell utilities shared by the client's windows: the temporary folder,
// resources written to files, PNG resources decoded for per-pixel-alpha
// painting of layered windows, and rounded window regions. What the updater
// shares of them lives below both programs, in base/.

#include "base/Handles_win.h"
#include "base/Resource_win.h"
#include "base/TempFolder_win.h"
#include "base/Window_win.h"

#include <string>

namespace tessaly::win {

// The icon file that the login window writes into the temporary folder.
std::wstring IconFilePath();
// One size of the program's icon, made from the .ico file it carries as its
// "ICON" resource (the bytes the icon file is written from); empty when that
// is missing or unreadable.
UniqueIcon LoadProgramIcon(int size);

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

// Decodes a "PNG" resource straight into a canvas's bitmap, premultiplied as
// a layered window shows it; the canvas has no DC yet. GDI+ must be running
// (on any thread). Empty when the resource is missing or no image.
LayeredCanvas DecodePngResource(int id);
// Makes the window's content the canvas's bitmap with its per-pixel alpha;
// the window takes the bitmap's size and keeps its position. The canvas
// keeps the memory DC that holds the bitmap.
void PaintLayered(HWND window, LayeredCanvas& canvas);

} // namespace tessaly::win
