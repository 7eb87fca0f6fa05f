#include "winplumb/MessageTable.h"

namespace tessaly {

MessageTable::AddResult MessageTable::Add(std::uint32_t message) {
    if (message == ALL_MESSAGES) {
        count_ = -1;
        return AddResult::Added;
    }
    for (std::int32_t n = 1;; ++n) {
        if (n > count_) {
            if (n > MSG_ENTRIES) return AddResult::Overflow;
            slots_[static_cast<std::size_t>(n - 1)] = message;
            count_ = n;
            return AddResult::Added;
        }
        std::uint32_t& slot = slots_[static_cast<std::size_t>(n - 1)];
        if (slot == 0) {
            slot = message;
            return AddResult::Added;
        }
        if (slot == message) return AddResult::AlreadyThere;
    }
}

void MessageTable::Delete(std::uint32_t message) {
    if (message == ALL_MESSAGES) {
        count_ = 0;
        return;
    }
    for (std::int32_t n = 1; n <= count_; ++n) {
        std::uint32_t& slot = slots_[static_cast<std::size_t>(n - 1)];
        if (slot == message) {
            slot = 0;
            return;
        }
    }
}

} // namespace tessaly
