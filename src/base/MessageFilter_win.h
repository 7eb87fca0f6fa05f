#pragma once
// Keyboard messages that a window below the focus must see before they are
// translated and dispatched: an embedded browser's accelerators (Tab between
// the fields of a page, Ctrl+C and Ctrl+V, Backspace) and a dialog's own key
// rules. Every message loop of the program calls PreTranslate for each
// message it takes; a filter registered for a window hears the keyboard
// messages addressed to that window and its descendants while its
// MessageFilter lives, the latest registered first, and the loop drops a
// message that a filter has taken.
//
// A filter may end any registration, its own included, while it runs.

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <functional>

namespace tessaly::win {

class MessageFilter {
public:
    // True: the filter has taken the message.
    using Filter = std::function<bool(MSG&)>;

    MessageFilter() = default;
    MessageFilter(HWND window, Filter filter);
    ~MessageFilter();
    MessageFilter(MessageFilter&& other) noexcept;
    MessageFilter& operator=(MessageFilter&& other) noexcept;
    MessageFilter(const MessageFilter&) = delete;
    MessageFilter& operator=(const MessageFilter&) = delete;

    void reset();
    explicit operator bool() const { return id_ != 0; }

    // How many filters hear the keys addressed to this very window.
    static std::size_t CountFor(HWND window);

private:
    std::uint64_t id_ = 0;
};

// True when a filter took the message: the loop neither translates nor
// dispatches it.
bool PreTranslate(MSG& msg);

} // namespace tessaly::win
