#pragma once
// A move-only owner of one platform resource. `Traits` says what an empty value
// is and how the resource is released:
//   struct Traits { using Type = ...; static Type Invalid(); static bool IsValid(Type);
//                   static void Release(Type); };

#include <utility>

namespace tessaly {

template <class Traits> class UniqueResource {
public:
    using Type = typename Traits::Type;

    UniqueResource() = default;
    explicit UniqueResource(Type value)
        : value_(value) {}
    ~UniqueResource() { reset(); }

    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;
    UniqueResource(UniqueResource&& other) noexcept
        : value_(other.release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }

    Type get() const { return value_; }
    explicit operator bool() const { return Traits::IsValid(value_); }

    Type release() { return std::exchange(value_, Traits::Invalid()); }
    void reset(Type value = Traits::Invalid()) {
        Type old = std::exchange(value_, value);
        if (Traits::IsValid(old)) Traits::Release(old);
    }

private:
    Type value_ = Traits::Invalid();
};

} // namespace tessaly
