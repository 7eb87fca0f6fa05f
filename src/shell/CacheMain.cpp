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
        // A failing search would only delete the same group once more, which
        // fails: it ends the clearing. A search that cannot go on (a stub
        // saying nothing) ends the groups, so nothing goes round for ever.
        const Status next = cache.FindNextGroup(group);
        if (next != Status::Ok) return next != Status::Failed;
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

UrlCache::Status CacheStatusOf(std::uint32_t lastError) {
    switch (lastError) {
    case 0:   // ERROR_SUCCESS
    case 1:   // ERROR_INVALID_FUNCTION
    case 120: // ERROR_CALL_NOT_IMPLEMENTED
        return Status::Unsupported;
    case 2:   // ERROR_FILE_NOT_FOUND
    case 18:  // ERROR_NO_MORE_FILES
    case 259: // ERROR_NO_MORE_ITEMS
        return Status::NoMore;
    default:
        return Status::Failed;
    }
}

void ClearUrlCache(UrlCache& cache, const std::wstring& pattern, std::uint32_t keepMask) {
    if (DeleteGroups(cache)) DeleteEntries(cache, pattern, keepMask);
}

} // namespace tessaly
