#include <windows.h>
#include <wininet.h>

#include "shell/CacheMain_win.h"

#include "base/UniqueResource.h"

#include <vector>

namespace tessaly::win {
namespace {

struct CacheFindTraits {
    using Type = HANDLE;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type h) { return h != nullptr; }
    static void Release(Type h) { FindCloseUrlCache(h); }
};
using UniqueCacheFind = UniqueResource<CacheFindTraits>;

using Status = UrlCache::Status;

class WinInetUrlCache final : public UrlCache {
public:
    Status FindFirstGroup(std::int64_t& group) override {
        GROUPID id = 0;
        SetLastError(ERROR_SUCCESS);
        groups_.reset(FindFirstUrlCacheGroup(0, CACHEGROUP_SEARCH_ALL, nullptr, 0, &id, nullptr));
        if (!groups_) return Failure();
        group = id;
        return Status::Ok;
    }
    Status FindNextGroup(std::int64_t& group) override {
        GROUPID id = 0;
        SetLastError(ERROR_SUCCESS);
        if (!FindNextUrlCacheGroup(groups_.get(), &id, nullptr)) return Failure();
        group = id;
        return Status::Ok;
    }
    Status DeleteGroup(std::int64_t group) override {
        SetLastError(ERROR_SUCCESS);
        if (DeleteUrlCacheGroup(group, CACHEGROUP_FLAG_FLUSHURL_ONDELETE, nullptr))
            return Status::Ok;
        return Failure();
    }
    Status FindFirstEntry(const std::wstring& pattern, CacheEntry& entry) override {
        // "*.*" and "*" mean every entry; WinINet's own way to say so is no
        // pattern at all (Wine matches a pattern literally).
        const wchar_t* search =
            (pattern == L"*.*" || pattern == L"*" || pattern.empty()) ? nullptr : pattern.c_str();
        DWORD size = Prepare();
        entries_.reset(FindFirstUrlCacheEntryW(search, Info(), &size));
        if (!entries_ && GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
            Prepare(size);
            entries_.reset(FindFirstUrlCacheEntryW(search, Info(), &size));
        }
        if (!entries_) return Failure();
        return Read(entry);
    }
    Status FindNextEntry(CacheEntry& entry) override {
        DWORD size = Prepare();
        BOOL found = FindNextUrlCacheEntryW(entries_.get(), Info(), &size);
        // An entry larger than the buffer would end the clearing half done;
        // give it the room it asks for instead.
        if (!found && GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
            Prepare(size);
            found = FindNextUrlCacheEntryW(entries_.get(), Info(), &size);
        }
        if (!found) return Failure();
        return Read(entry);
    }
    bool DeleteEntry(const std::wstring& url) override {
        return DeleteUrlCacheEntryW(url.c_str()) != FALSE;
    }

private:
    static constexpr DWORD kBufferSize = 2048;

    // The group functions exist only as failing stubs on some systems, which
    // then leave the last error unset: each call clears it first.
    static Status Failure() { return CacheStatusOf(GetLastError()); }

    DWORD Prepare(DWORD size = kBufferSize) {
        buffer_.assign(std::max<DWORD>(size, kBufferSize), 0);
        Info()->dwStructSize = sizeof(INTERNET_CACHE_ENTRY_INFOW);
        return static_cast<DWORD>(buffer_.size());
    }
    INTERNET_CACHE_ENTRY_INFOW* Info() {
        return reinterpret_cast<INTERNET_CACHE_ENTRY_INFOW*>(buffer_.data());
    }

    Status Read(CacheEntry& entry) {
        entry.type = Info()->CacheEntryType;
        entry.url = Info()->lpszSourceUrlName ? Info()->lpszSourceUrlName : L"";
        return Status::Ok;
    }

    UniqueCacheFind groups_;
    UniqueCacheFind entries_;
    std::vector<unsigned char> buffer_ = std::vector<unsigned char>(kBufferSize);
};

} // namespace

void ClearUrlCache(const std::wstring& pattern, std::uint32_t keepMask) {
    WinInetUrlCache cache;
    tessaly::ClearUrlCache(cache, pattern, keepMask);
}

} // namespace tessaly::win
