#pragma once
// The program's numbered errors, raised to callers that are expected to handle
// them (invalid arguments, positions out of range, type mismatches).

#include <stdexcept>
#include <string>

namespace tessaly {

namespace error {
inline constexpr int kInvalidArgument = 5;
inline constexpr int kOutOfRange = 9;
inline constexpr int kTypeMismatch = 13;
} // namespace error

class Error : public std::runtime_error {
public:
    Error(int number, const std::string& message)
        : std::runtime_error(message)
        , number_(number) {}
    int number() const { return number_; }

private:
    int number_;
};

} // namespace tessaly
