#pragma once
// Lets code that hands control to a handler learn afterwards whether the
// object it works for survived: a handler may destroy the object that called
// it (closing a window from inside its close button's Click). The object
// holds a Lifetime; code that runs handlers holds a Lifetime::Watch on its
// stack meanwhile and asks it afterwards. Nested watches chain through the
// stack, so watching allocates nothing; the Lifetime's destructor marks every
// watch of the chain.
//
// What a dying object must not free while a caller is still inside it (a
// collection whose member function is on the stack) it hands to the outermost
// watch, which frees it when it ends.

#include <memory>
#include <utility>
#include <vector>

namespace tessaly {

class Lifetime {
public:
    class Watch;

    Lifetime() = default;
    Lifetime(const Lifetime&) = delete;
    Lifetime& operator=(const Lifetime&) = delete;
    inline ~Lifetime();

    // Some code of the object is on the stack.
    bool Watched() const { return innermost_ != nullptr; }
    // Keeps `thing` until the outermost watch ends; with no watch it goes now.
    inline void KeepUntilUnwound(std::shared_ptr<void> thing);

private:
    Watch* innermost_ = nullptr;
};

class Lifetime::Watch {
public:
    explicit Watch(Lifetime& lifetime)
        : lifetime_(&lifetime)
        , outer_(std::exchange(lifetime.innermost_, this)) {}
    ~Watch() {
        if (lifetime_) lifetime_->innermost_ = outer_;
    }
    Watch(const Watch&) = delete;
    Watch& operator=(const Watch&) = delete;

    bool Alive() const { return lifetime_ != nullptr; }

private:
    friend class Lifetime;
    Lifetime* lifetime_;
    Watch* outer_;
    std::vector<std::shared_ptr<void>> kept_;
};

Lifetime::~Lifetime() {
    for (Watch* watch = innermost_; watch; watch = watch->outer_)
        watch->lifetime_ = nullptr;
}

void Lifetime::KeepUntilUnwound(std::shared_ptr<void> thing) {
    Watch* outermost = innermost_;
    while (outermost && outermost->outer_)
        outermost = outermost->outer_;
    if (outermost) outermost->kept_.push_back(std::move(thing));
}

} // namespace tessaly
