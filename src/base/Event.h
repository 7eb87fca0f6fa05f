#pragma once
// The one event mechanism of the program. A control declares its events as
// members (`Event<bool&> QueryUnload;`) and raises them; owners subscribe with
// `Connect`. Arguments a handler may answer are references, so after `Raise`
// returns the control reads what the handlers left there.

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
    // when the vector grows.
    void Raise(Args... args) {
        const std::size_t count = handlers_.size();
        for (std::size_t i = 0; i < count && i < handlers_.size(); ++i) {
            Handler handler = handlers_[i]; // a handler may disconnect everything
            handler(args...);
        }
    }

private:
    std::vector<Handler> handlers_;
};

} // namespace tessaly
