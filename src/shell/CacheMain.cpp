#include "shell/CacheMain.h"

namespace tessaly {
namespace {

using Status = UrlCache::Status;

// False when the whole clearing must stop.
bool DeleteGroups(UrlCache& cache) {
    std::int64_t group = 0;
    const Status first = cache.FindFirstGroup(group);
    if (first == Status::Unsupported || first == Status::NoMore) return true;
    if (first != Status::Ok) return false;
    for (;;) {
        const Status deleted = cache.DeleteGroup(group);
        if (deleted != Status::Ok && deleted != Status::Unsupported) return false;
        // A failing search gives one more round, in which deleting the same
        // group again fails and ends the clearing.
        if (cache.FindNextGroup(group) == Status::NoMore) return true;
    }
}

void DeleteEntries(UrlCache& cache, const std::wstring& pattern, std::uint32_t keepMask) {
    CacheEntry entry;
    if (cache.FindFirstEntry(pattern, entry) != Status::Ok) return;
    for (;;) {
        if ((entry.type & keepMask) == 0) static_cast<void>(cache.DeleteEntry(entry.url));
        const Status next = cache.FindNextEntry(entry);
        if (next != Status::Ok) return;
    }
}

} // namespace

void ClearUrlCache(UrlCache& cache, const std::wstring& pattern, std::uint32_t keepMask) {
    if (DeleteGroups(cache)) DeleteEntries(cache, pattern, keepMask);
}

} // namespace tessaly
