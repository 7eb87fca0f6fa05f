// The skins as the controls draw them (loaded as DIB sections, copied and
// blitted with the magenta key) give exactly the pixels of the 24-bit art the
// hashes were taken from: a smaller file format must not change a pixel.

#include <windows.h>

#include "base/Handles_win.h"
#include "resources/ResourceIds.h"

#include <gtest/gtest.h>

#include <cstdint>

using namespace tessaly::win;

namespace {

// FNV-1a over blue, green and red of every pixel, top row first.
std::uint32_t HashOf(const std::uint32_t* pixels, std::size_t count) {
    std::uint32_t hash = 0x811c9dc5;
    for (std::size_t i = 0; i < count * 3; ++i)
        hash = (hash ^ ((pixels[i / 3] >> (8 * (i % 3))) & 0xFF)) * 0x01000193;
    return hash;
}

} // namespace

TEST(SkinPixels, DrawnAsBeforeTheirFilesShrank) {
    const struct {
        int id;
        std::uint32_t copied, keyed;
    } skins[] = {
        {IDB_CAPTION_MIN, 0x1082cceb, 0x1082cceb},
        {IDB_CAPTION_MAXRESTORE, 0x228e47b4, 0x228e47b4},
        {IDB_CAPTION_CLOSE, 0x158c86e3, 0x158c86e3},
        {IDB_CAPTION_TOOL, 0xe095834b, 0xe095834b},
        {IDB_TABS_STYLE0, 0x490cbffc, 0x4d41325c},
        {IDB_TABS_STYLE1, 0x33973e31, 0x17d6c9a9},
        {IDB_FRAME_SKIN, 0xe7474fe1, 0xe7474fe1},
        {IDB_LOGIN_MIN, 0xbbb68971, 0xbbb68971},
        {IDB_LOGIN_CLOSE, 0x79a3bac9, 0x79a3bac9},
        {IDB_ANSWER_BUTTON, 0x151ab486, 0x151ab486},
        {IDB_LINK_BUTTON_BG, 0x43e00f6f, 0x43e00f6f},
    };
    for (const auto& skin : skins) {
        UniqueBitmap image(
            static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(skin.id),
                                            IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
        ASSERT_TRUE(image) << skin.id;
        BITMAP size{};
        GetObjectW(image.get(), sizeof size, &size);
        const int w = size.bmWidth, h = size.bmHeight;
        const UniqueDC source(CreateCompatibleDC(nullptr)), target(CreateCompatibleDC(nullptr));
        BITMAPINFO info{};
        info.bmiHeader = {sizeof info.bmiHeader, w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        UniqueBitmap canvas(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        const auto* pixels = static_cast<const std::uint32_t*>(bits);
        const std::size_t count = static_cast<std::size_t>(w) * h;
        Selection from(source.get(), image.get());
        Selection to(target.get(), canvas.get());
        BitBlt(target.get(), 0, 0, w, h, source.get(), 0, 0, SRCCOPY);
        GdiFlush();
        EXPECT_EQ(HashOf(pixels, count), skin.copied) << skin.id;
        const UniqueBrush background(CreateSolidBrush(RGB(1, 2, 3)));
        const RECT all{0, 0, w, h};
        FillRect(target.get(), &all, background.get());
        TransparentBlt(target.get(), 0, 0, w, h, source.get(), 0, 0, w, h, RGB(255, 0, 255));
        GdiFlush();
        EXPECT_EQ(HashOf(pixels, count), skin.keyed) << skin.id;
    }
}
