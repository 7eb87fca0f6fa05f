#include <windows.h>

#include "app/LoadFrm_win.h"
#include "app/OwnVersion_win.h"
#include "app/PublicData_win.h"
#include "app/StartupPrefetch_win.h"
#include "base/ErrorLog.h"
#include "support/Gdiplus_win.h"
#include "resources/ResourceIds.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

using namespace tessaly;
using namespace tessaly::win;
namespace gp = Gdiplus::DllExports;

namespace {

// What GDI+ draws of the PNG into a premultiplied bitmap of its size,
// copying pixels 1:1 (source copy, nearest neighbour, half-pixel offset).
std::vector<std::uint32_t> DrawnByGdiplus(int id, int width, int height) {
    std::vector<std::uint32_t> pixels(std::size_t(width) * height);
    const StreamImage png = LoadPngResource(id, L"PNG");
    Gdiplus::GpBitmap* target = nullptr;
    gp::GdipCreateBitmapFromScan0(width, height, width * 4, PixelFormat32bppPARGB,
                                  reinterpret_cast<BYTE*>(pixels.data()), &target);
    Gdiplus::GpGraphics* graphics = nullptr;
    gp::GdipGetImageGraphicsContext(target, &graphics);
    gp::GdipSetCompositingMode(graphics, Gdiplus::CompositingModeSourceCopy);
    gp::GdipSetInterpolationMode(graphics, Gdiplus::InterpolationModeNearestNeighbor);
    gp::GdipSetPixelOffsetMode(graphics, Gdiplus::PixelOffsetModeHalf);
    gp::GdipDrawImageRectI(graphics, png.get(), 0, 0, width, height);
    gp::GdipDeleteGraphics(graphics);
    gp::GdipDisposeImage(target);
    return pixels;
}

std::uint64_t FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (std::uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

DWORD ResourceSize(int id, const wchar_t* type) {
    HRSRC info = FindResourceW(nullptr, MAKEINTRESOURCEW(id), type);
    return info ? SizeofResource(nullptr, info) : 0;
}

std::wstring Env(const wchar_t* name) {
    wchar_t buffer[1024] = {};
    GetEnvironmentVariableW(name, buffer, 1024);
    return buffer;
}

class ScopedErrorCapture {
public:
    ScopedErrorCapture()
        : previous_(SetErrorSink([this](std::wstring_view t) { logged.emplace_back(t); })) {}
    ~ScopedErrorCapture() { SetErrorSink(previous_); }
    std::vector<std::wstring> logged;

private:
    ErrorSink previous_;
};

} // namespace

TEST(PublicData, TempDirEndsInExactlyOneBackslash) {
    const std::wstring saved = Env(L"TMP");
    for (const wchar_t* tmp : {L"C:\\windows\\temp", L"C:\\windows\\temp\\"}) {
        SetEnvironmentVariableW(L"TMP", tmp);
        const std::wstring dir = GetTempDir();
        ASSERT_GE(dir.size(), 2u);
        EXPECT_EQ(dir.back(), L'\\') << dir;
        EXPECT_NE(dir[dir.size() - 2], L'\\') << dir;
    }
    SetEnvironmentVariableW(L"TMP", saved.c_str());
}

TEST(PublicData, SaveResToFileReplacesALongerFileWithExactlyTheResource) {
    const std::wstring path = GetTempDir() + L"tessaly_test_icon.ico";
    {
        std::vector<char> junk(300000, 'x');
        HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_HIDDEN, nullptr);
        ASSERT_NE(f, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(f, junk.data(), static_cast<DWORD>(junk.size()), &written, nullptr);
        CloseHandle(f);
    }
    ASSERT_TRUE(SaveResToFile(IDR_ICON_FILE, L"ICON", path));
    EXPECT_EQ(FileSize(path), ResourceSize(IDR_ICON_FILE, L"ICON"));
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    unsigned char head[6] = {};
    DWORD read = 0;
    ReadFile(f, head, 6, &read, nullptr);
    CloseHandle(f);
    EXPECT_EQ(head[2], 1); // an .ico header, written from offset 0 with no prefix
    EXPECT_EQ(head[4], 6); // six images
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(path.c_str());
}

TEST(PublicData, MissingResourcesAreReportedNotFatal) {
    ScopedErrorCapture capture;
    const std::wstring path = GetTempDir() + L"tessaly_test_missing.bin";
    EXPECT_FALSE(SaveResToFile(999, L"PNG", path));
    EXPECT_EQ(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);
    GdiplusSession session;
    EXPECT_FALSE(LoadPngResource(999, L"PNG"));
    EXPECT_EQ(DecodePngResource(999).bits, nullptr);
    EXPECT_GE(capture.logged.size(), 2u);
}

TEST(PublicData, RectRgnRoundsTheWindowsCorners) {
    const HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 100, 50, nullptr,
                                        nullptr, nullptr, nullptr);
    RectRgn(window, 101, 51, 6, 6);
    UniqueRegion region(CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(GetWindowRgn(window, region.get()), ERROR);
    RECT box{};
    GetRgnBox(region.get(), &box);
    EXPECT_EQ(box.right, 100); // the right and bottom edges are exclusive
    EXPECT_EQ(box.bottom, 50);
    EXPECT_FALSE(PtInRegion(region.get(), 0, 0));
    EXPECT_TRUE(PtInRegion(region.get(), 3, 0));
    EXPECT_TRUE(PtInRegion(region.get(), 50, 25));
    EXPECT_FALSE(PtInRegion(region.get(), 99, 49));
    DestroyWindow(window);
}

TEST(Resources, ExistAtTheirIdsWithTheirSizes) {
    struct Expected {
        int id;
        int width, height, bits;
    };
    const Expected bitmaps[] = {
        {IDB_CAPTION_MIN, 72, 18, 0},    {IDB_CAPTION_MAXRESTORE, 150, 18, 0},
        {IDB_CAPTION_CLOSE, 129, 18, 0}, {IDB_CAPTION_TOOL, 72, 18, 0},
        {IDB_LOGO, 29, 29, 32},          {IDB_TABS_STYLE0, 415, 25, 8},
        {IDB_TABS_STYLE1, 421, 28, 8},   {IDB_FRAME_SKIN, 94, 85, 8},
        {IDB_LOGIN_MIN, 28, 28, 0},      {IDB_LOGIN_CLOSE, 34, 34, 0},
        {IDB_ANSWER_BUTTON, 225, 22, 0}, {IDB_LINK_BUTTON_BG, 13, 22, 0},
    };
    for (const auto& e : bitmaps) {
        HBITMAP bitmap =
            static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(e.id),
                                            IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        ASSERT_NE(bitmap, nullptr) << e.id;
        BITMAP info{};
        GetObjectW(bitmap, sizeof info, &info);
        EXPECT_EQ(info.bmWidth, e.width) << e.id;
        EXPECT_EQ(info.bmHeight, e.height) << e.id;
        if (e.bits) {
            EXPECT_EQ(info.bmBitsPixel, e.bits) << e.id;
        }
        DeleteObject(bitmap);
    }
    GdiplusSession session;
    const struct {
        int id;
        UINT width, height;
    } pngs[] = {{IDR_PNG_LOGIN_BG, 1237, 696}, {IDR_PNG_SPLASH, 356, 122}};
    for (const auto& e : pngs) {
        const StreamImage image = LoadPngResource(e.id, L"PNG");
        ASSERT_TRUE(image) << e.id;
        UINT w = 0, h = 0;
        gp::GdipGetImageWidth(image.get(), &w);
        gp::GdipGetImageHeight(image.get(), &h);
        EXPECT_EQ(w, e.width);
        EXPECT_EQ(h, e.height);
    }
    // The version the program reports comes from its VERSIONINFO.
    EXPECT_EQ(VersionText(OwnVersion()), L"1.1.0");
    // The icon file: six images, 16 x 16 at 8 bits, then 128 ... 16 at 32 bits.
    HRSRC info = FindResourceW(nullptr, MAKEINTRESOURCEW(IDR_ICON_FILE), L"ICON");
    ASSERT_NE(info, nullptr);
    const auto* ico = static_cast<const unsigned char*>(LockResource(LoadResource(nullptr, info)));
    ASSERT_EQ(ico[4], 6);
    const int sizes[] = {16, 128, 64, 48, 32, 16};
    const int depths[] = {8, 32, 32, 32, 32, 32};
    for (int i = 0; i < 6; ++i) {
        const unsigned char* entry = ico + 6 + 16 * i;
        EXPECT_EQ(entry[0] == 0 ? 256 : entry[0], sizes[i]);
        EXPECT_EQ(entry[6] | (entry[7] << 8), depths[i]);
    }
}

TEST(PublicData, PicturesDecodedAheadOrNotHoldExactlyWhatGdiplusDraws) {
    GdiplusSession session;
    StartupPrefetch prefetch({.networkTest = [] { return false; },
                              .dlls = {"wininet.dll"},
                              .pngIds = {IDR_PNG_SPLASH, IDR_PNG_LOGIN_BG}});
    EXPECT_FALSE(prefetch.Online()); // the test's own answer
    const struct {
        int id, width, height;
    } pngs[] = {{IDR_PNG_LOGIN_BG, 1237, 696}, {IDR_PNG_SPLASH, 356, 122}}; // the later first
    for (const auto& e : pngs) {
        const LayeredCanvas ahead = StartupPrefetch::Take(e.id), now = DecodePngResource(e.id);
        EXPECT_FALSE(StartupPrefetch::Take(e.id).bitmap) << "taken once";
        const std::vector<std::uint32_t> drawn = DrawnByGdiplus(e.id, e.width, e.height);
        for (const LayeredCanvas* canvas : {&ahead, &now}) {
            ASSERT_NE(canvas->bits, nullptr) << e.id;
            ASSERT_EQ(canvas->width, e.width);
            ASSERT_EQ(canvas->height, e.height);
            EXPECT_EQ(std::memcmp(canvas->bits, drawn.data(), drawn.size() * 4), 0) << e.id;
        }
    }
}

TEST(LoadFrm, SplashBitmapHoldsThePngPremultiplied) {
    LoadFrm splash;
    splash.Show();
    const LayeredCanvas& canvas = splash.canvas();
    ASSERT_NE(canvas.bits, nullptr);
    ASSERT_EQ(canvas.width, 356);
    ASSERT_EQ(canvas.height, 122);
    EXPECT_TRUE(GetWindowLongPtrW(splash.hwnd(), GWL_EXSTYLE) & WS_EX_LAYERED);

    GdiplusSession session;
    const StreamImage png = LoadPngResource(IDR_PNG_SPLASH, L"PNG");
    Gdiplus::Rect all(0, 0, 356, 122);
    Gdiplus::BitmapData data{};
    ASSERT_EQ(gp::GdipBitmapLockBits(static_cast<Gdiplus::GpBitmap*>(png.get()), &all,
                                     Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &data),
              Gdiplus::Ok);
    int transparent = 0, partial = 0, worst = 0;
    for (int y = 0; y < 122; ++y) {
        const auto* source = static_cast<const unsigned char*>(data.Scan0) + y * data.Stride;
        const auto* shown = static_cast<const unsigned char*>(canvas.bits) + y * 356 * 4;
        for (int x = 0; x < 356; ++x) {
            const int a = source[4 * x + 3];
            transparent += a == 0;
            partial += a > 0 && a < 255;
            EXPECT_EQ(shown[4 * x + 3], a);
            for (int c = 0; c < 3; ++c) {
                const int expected = (source[4 * x + c] * a + 127) / 255;
                worst = std::max(worst, std::abs(shown[4 * x + c] - expected));
            }
        }
    }
    gp::GdipBitmapUnlockBits(static_cast<Gdiplus::GpBitmap*>(png.get()), &data);
    EXPECT_LE(worst, 1);
    EXPECT_GT(transparent, 0);
    EXPECT_GT(partial, 0);
    splash.Close();
}
