#pragma once
// Empties the URL cache that the embedded pages share: first every cache
// group (with its entries), then every entry matching a search pattern,
// except entries whose type shares a bit with the keep-mask (cookies and
// history are kept by the mask 0x00300000). Silent: every stop below leaves
// what was deleted deleted and reports nothing.

#include <cstdint>
#include <string>

namespace tessaly {

struct CacheEntry {
    std::uint32_t type = 0;
    std::wstring url;
};

// The URL cache's enumeration and deletion, as the clearing needs them.
class UrlCache {
public:
    enum class Status {
        Ok,
        NoMore,      // the search found nothing (more)
        Unsupported, // this system has no such function
        Failed,
    };
    virtual ~UrlCache() = default;
    virtual Status FindFirstGroup(std::int64_t& group) = 0;
    virtual Status FindNextGroup(std::int64_t& group) = 0;
    virtual Status DeleteGroup(std::int64_t group) = 0;
    virtual Status FindFirstEntry(const std::wstring& pattern, CacheEntry& entry) = 0;
    virtual Status FindNextEntry(CacheEntry& entry) = 0;
    virtual bool DeleteEntry(const std::wstring& url) = 0;
};

// What the thread's last error says after a cache function failed. The ends
// of the searches: ERROR_FILE_NOT_FOUND (2) and ERROR_NO_MORE_FILES (18, what
// Windows answers when there is no cache group at all) for groups,
// ERROR_NO_MORE_ITEMS (259) for entries. No error (0, the stubs of some
// systems), ERROR_INVALID_FUNCTION (1) or ERROR_CALL_NOT_IMPLEMENTED (120):
// the system has no such function. Anything else is a failure.
UrlCache::Status CacheStatusOf(std::uint32_t lastError);

inline constexpr std::uint32_t kCookieCacheEntry = 0x00100000;
inline constexpr std::uint32_t kHistoryCacheEntry = 0x00200000;

// A group that cannot be deleted ends the clearing before any entry goes; an
// entry that cannot be deleted does not stop the next ones.
void ClearUrlCache(UrlCache& cache, const std::wstring& pattern, std::uint32_t keepMask);

} // namespace tessaly
