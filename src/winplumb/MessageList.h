#pragma once
// The growable message table of the form subclass: which message numbers a
// hook reports. Count 0 reports nothing, -1 every message; a deleted message
// leaves a hole (0) that the next added message fills.

#include <cstdint>
#include <vector>

namespace tessaly {

class MessageList {
public:
    static constexpr std::int32_t kAllMessages = -1;

    void Add(std::int32_t message);
    void Delete(std::int32_t message);
    bool Matches(std::uint32_t message) const {
        if (count_ == 0) return false;
        if (count_ == kAllMessages) return true;
        for (std::int32_t i = 0; i < count_; ++i) {
            if (static_cast<std::uint32_t>(entries_[static_cast<std::size_t>(i)]) == message)
                return true;
        }
        return false;
    }
    std::int32_t count() const { return count_; }
    const std::vector<std::int32_t>& entries() const { return entries_; }

private:
    std::int32_t count_ = 0;
    std::vector<std::int32_t> entries_;
};

} // namespace tessaly
