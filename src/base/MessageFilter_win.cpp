#include "base/MessageFilter_win.h"

#include "base/ErrorLog.h"

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

namespace tessaly::win {
namespace {

struct Registered {
    std::uint64_t id;
    HWND window;
    std::shared_ptr<MessageFilter::Filter> filter;
};

std::vector<Registered>& Filters() {
    static std::vector<Registered> filters;
    return filters;
}

std::uint64_t g_nextId = 1;

} // namespace

MessageFilter::MessageFilter(HWND window, Filter filter)
    : id_(g_nextId++) {
    Filters().push_back({id_, window, std::make_shared<Filter>(std::move(filter))});
}

MessageFilter::~MessageFilter() {
    reset();
}

MessageFilter::MessageFilter(MessageFilter&& other) noexcept
    : id_(std::exchange(other.id_, 0)) {}

MessageFilter& MessageFilter::operator=(MessageFilter&& other) noexcept {
    if (this != &other) {
        reset();
        id_ = std::exchange(other.id_, 0);
    }
    return *this;
}

void MessageFilter::reset() {
    if (!id_) return;
    std::erase_if(Filters(), [id = id_](const Registered& r) { return r.id == id; });
    id_ = 0;
}

std::size_t MessageFilter::CountFor(HWND window) {
    return static_cast<std::size_t>(
        std::count_if(Filters().begin(), Filters().end(),
                      [window](const Registered& r) { return r.window == window; }));
}

bool PreTranslate(MSG& msg) {
    // Only keyboard messages: everything else costs one comparison.
    if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST || !msg.hwnd) return false;
    auto& filters = Filters();
    for (std::size_t i = filters.size(); i-- > 0;) {
        if (i >= filters.size()) continue; // a filter ended others
        if (msg.hwnd != filters[i].window && !IsChild(filters[i].window, msg.hwnd)) continue;
        // A copy: the filter may end its own registration.
        const std::shared_ptr<MessageFilter::Filter> filter = filters[i].filter;
        try {
            if ((*filter)(msg)) return true;
        } catch (...) {
            LogCurrentException(L"message filter");
        }
    }
    return false;
}

} // namespace tessaly::win
