#pragma once
// The one event mechanism of the program. A control declares its events as
// members (`Event<bool&> QueryUnload;`) and raises them; owners subscribe with
// `Connect`. Arguments a handler may answer are references, so after `Raise`
// returns the control reads what the handlers left there.
//
// A handler may destroy the object that declares the event (a Click that
// closes the window holding the button): Raise then returns false at once,
// runs no further handler, and the caller must leave without touching the
// object. Each handler runs from a copy, so a handler that disconnects or
// destroys the event is not itself freed while it runs.

#include "base/Lifetime.h"

#include <cstddef>
#include <functional>
#include <vector>

namespace tessaly {

template <class... Args> class Event {
public:
    using Handler = std::function<void(Args...)>;

    Event() = default;
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    void Connect(Handler handler) { handlers_.push_back(std::move(handler)); }
    void DisconnectAll() { handlers_.clear(); }
    bool HasHandlers() const { return !handlers_.empty(); }

    // Handlers run in the order they connected. One connected by a running
    // handler first runs at the next raise; iterating by index keeps that safe
    // when the vector grows. False: a handler destroyed the event.
    bool Raise(Args... args) {
        const Lifetime::Watch watch(lifetime_);
        const std::size_t count = handlers_.size();
        for (std::size_t i = 0; i < count && i < handlers_.size(); ++i) {
            Handler handler = handlers_[i]; // a handler may disconnect everything
            handler(args...);
            if (!watch.Alive()) return false;
        }
        return true;
    }

private:
    std::vector<Handler> handlers_;
    Lifetime lifetime_;
};

} // namespace tessaly
