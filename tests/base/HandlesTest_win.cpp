#include <windows.h>

#include "base/Handles_win.h"

#include <gtest/gtest.h>

using namespace tessaly::win;

namespace {
bool IsOpen(HANDLE h) {
    DWORD flags = 0;
    return GetHandleInformation(h, &flags) != FALSE;
}
} // namespace

TEST(Handles, OwnershipMovesAndReleasesExactlyOnce) {
    UniqueHandle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    const HANDLE raw = event.get();
    ASSERT_TRUE(IsOpen(raw));
    UniqueHandle moved(std::move(event));
    EXPECT_FALSE(event);
    EXPECT_EQ(moved.get(), raw);
    {
        UniqueHandle target;
        target = std::move(moved);
        EXPECT_TRUE(IsOpen(raw));
    }
    EXPECT_FALSE(IsOpen(raw));
    // A failed CreateFile gives INVALID_HANDLE_VALUE, which owns nothing.
    UniqueHandle missing(
        CreateFileW(L"Z:\\no\\such\\file", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(missing);
}

TEST(Handles, SelectionPutsThePreviousObjectBack) {
    UniqueDC dc(CreateCompatibleDC(nullptr));
    UniqueBitmap bitmap(CreateCompatibleBitmap(dc.get(), 4, 4));
    const HGDIOBJ original = GetCurrentObject(dc.get(), OBJ_BITMAP);
    {
        Selection selected(dc.get(), bitmap.get());
        EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_BITMAP), bitmap.get());
        Selection moved(std::move(selected)); // only the new owner restores
    }
    EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_BITMAP), original);
}
