#include <windows.h>
#include <wininet.h>

#include "shell/CacheMain_win.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace tessaly;

namespace {

// Puts one entry of the given type into this user's URL cache.
bool AddEntry(const std::wstring& url, DWORD type) {
    wchar_t file[MAX_PATH] = {};
    if (!CreateUrlCacheEntryW(url.c_str(), 0, L"txt", file, 0)) return false;
    HANDLE handle =
        CreateFileW(file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(handle, "cached", 6, &written, nullptr);
    CloseHandle(handle);
    FILETIME none{};
    return CommitUrlCacheEntryW(url.c_str(), file, none, none, type, nullptr, 0, nullptr,
                                nullptr) != FALSE;
}

bool InCache(const std::wstring& url) {
    DWORD size = 0;
    GetUrlCacheEntryInfoW(url.c_str(), nullptr, &size);
    std::vector<unsigned char> buffer(size ? size : 1);
    return GetUrlCacheEntryInfoW(url.c_str(),
                                 reinterpret_cast<INTERNET_CACHE_ENTRY_INFOW*>(buffer.data()),
                                 &size) != FALSE;
}

} // namespace

TEST(CacheMainOnWinInet, ClearingKeepsExactlyTheCookieAndHistoryEntries) {
    const std::wstring page = L"http://127.0.0.1/tessaly/page.html";
    const std::wstring sticky = L"http://127.0.0.1/tessaly/sticky.css";
    // An address long enough that its record does not fit the usual 2048 bytes.
    const std::wstring longUrl = L"http://127.0.0.1/tessaly/long?" + std::wstring(1500, L'x');
    const std::wstring cookie = L"Cookie:player@127.0.0.1/tessaly/";
    const std::wstring history = L"Visited: player@http://127.0.0.1/tessaly/page.html";
    ASSERT_TRUE(AddEntry(page, NORMAL_CACHE_ENTRY));
    ASSERT_TRUE(AddEntry(sticky, STICKY_CACHE_ENTRY));
    ASSERT_TRUE(AddEntry(longUrl, NORMAL_CACHE_ENTRY));
    ASSERT_TRUE(AddEntry(cookie, COOKIE_CACHE_ENTRY));
    ASSERT_TRUE(AddEntry(history, URLHISTORY_CACHE_ENTRY));

    win::ClearUrlCache(L"*.*", kCookieCacheEntry | kHistoryCacheEntry);

    EXPECT_FALSE(InCache(page));
    EXPECT_FALSE(InCache(sticky));
    EXPECT_FALSE(InCache(longUrl));
    EXPECT_TRUE(InCache(cookie));
    EXPECT_TRUE(InCache(history));
    DeleteUrlCacheEntryW(cookie.c_str());
    DeleteUrlCacheEntryW(history.c_str());
}
