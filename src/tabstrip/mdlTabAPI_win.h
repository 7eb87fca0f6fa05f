#pragma once
// mdlTabAPI: the GDI helpers of the tab strip. Memory DCs come with the
// bitmap selected into them and go together with it; tabs are stretched from
// a skin by a nine-grid and put down through a colour key.

#include <windows.h>

#include "base/Handles_win.h"
#include "base/UniqueResource.h"

#include <optional>
#include <string>

namespace tessaly::win {

// The number of the error raised with the memory-DC failure texts: the
// platform ran out of GDI resources.
inline constexpr int kMemoryDCError = 7;

// Deletes the DC and the bitmap selected in it. True.
bool DeleteMemoryDC(HDC dc);

struct MemoryDCTraits {
    using Type = HDC;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type dc) { return dc != nullptr; }
    static void Release(Type dc) { DeleteMemoryDC(dc); }
};
using UniqueMemoryDC = UniqueResource<MemoryDCTraits>;

// Sets and clears style bits (GWL_STYLE or GWL_EXSTYLE); when they changed
// and flags is not 0, lets the change take effect with SetWindowPos without
// moving, sizing, reordering or activating. Always false.
bool SetWindowStyleBits(HWND window, int index, LONG_PTR clear, LONG_PTR set, UINT flags);
// A DC compatible with the screen holding a new bitmap of that size. Raises
// tessaly::Error(kMemoryDCError) naming the step that failed.
UniqueMemoryDC CreateMemoryDC(int width, int height);
// A DC compatible with the screen holding the image, which it then owns.
UniqueMemoryDC CreateBitmapDC(UniqueBitmap image);
// Stretches the source rectangle onto the destination rectangle keeping the
// margins unscaled (corners copied, edges stretched one way, the centre both
// ways), then puts it down, through the key colour when one is given. The
// result of that last transfer; 0 when a size is 0 and nothing is drawn.
int DrawNineGrid(HDC destination, int x, int y, int width, int height, HDC source, int sourceX,
                 int sourceY, int sourceWidth, int sourceHeight, int left, int top, int right,
                 int bottom, std::optional<COLORREF> key = std::nullopt);
// Copies at the same size, leaving out the key colour.
int DrawTransparent(HDC destination, int x, int y, int width, int height, HDC source, int sourceX,
                    int sourceY, COLORREF key);
int DrawTextInRect(HDC dc, const std::wstring& text, int count, int x, int y, int width, int height,
                   UINT format);

} // namespace tessaly::win
