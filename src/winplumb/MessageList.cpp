#include "winplumb/MessageList.h"

namespace tessaly {

void MessageList::Add(std::int32_t message) {
    if (message == kAllMessages) {
        count_ = kAllMessages;
        return;
    }
    // A specific message added to an all-messages list narrows it to that
    // message, rather than leaving a list that reports nothing.
    if (count_ == kAllMessages) count_ = 0;
    for (std::int32_t i = 0; i < count_; ++i) {
        auto& entry = entries_[static_cast<std::size_t>(i)];
        if (entry == message) return;
        if (entry == 0) {
            entry = message;
            return;
        }
    }
    entries_.resize(static_cast<std::size_t>(++count_));
    entries_.back() = message;
}

void MessageList::Delete(std::int32_t message) {
    if (message == kAllMessages) {
        count_ = 0;
        return;
    }
    for (std::int32_t i = 0; i < count_; ++i) {
        auto& entry = entries_[static_cast<std::size_t>(i)];
        if (entry == message) {
            entry = 0;
            return;
        }
    }
}

} // namespace tessaly
