#pragma once
// The fixed message table of CSubclass: a count and MSG_ENTRIES slots. Count 0
// matches nothing, ALL_MESSAGES (-1) every message, 1 to 32 the messages in
// slots 1 to count. A deleted message leaves a hole (0) that the next added
// message fills; a hole is compared like any slot, so it matches message 0.
// Matching is the per-message path of every subclassed window: no allocation,
// at most 32 comparisons.

#include <array>
#include <cstdint>

namespace tessaly {

inline constexpr std::int32_t MSG_ENTRIES = 32;
inline constexpr std::uint32_t ALL_MESSAGES = 0xFFFFFFFFu; // -1

class MessageTable {
public:
    enum class AddResult { Added, AlreadyThere, Overflow };

    // ALL_MESSAGES makes the table match everything (its slots are kept). A
    // specific message goes into the first hole before it is found, else after
    // the last used slot; a table that matched everything then holds only it.
    AddResult Add(std::uint32_t message);
    // ALL_MESSAGES empties the table; any other message leaves a hole in the
    // first slot that holds it.
    void Delete(std::uint32_t message);

    bool Matches(std::uint32_t message) const {
        if (count_ == 0) return false;
        if (count_ < 0) return true;
        for (std::int32_t i = 0; i < count_; ++i) {
            if (slots_[static_cast<std::size_t>(i)] == message) return true;
        }
        return false;
    }
    void Clear() { count_ = 0; }
    std::int32_t count() const { return count_; }
    // Slot n (1 to MSG_ENTRIES), as the table numbers them.
    std::uint32_t slot(std::int32_t n) const { return slots_[static_cast<std::size_t>(n - 1)]; }

private:
    std::int32_t count_ = 0;
    std::array<std::uint32_t, MSG_ENTRIES> slots_{};
};

} // namespace tessaly
