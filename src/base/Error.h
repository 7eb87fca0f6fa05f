#pragma once
// The program's numbered errors, raised to callers that are expected to handle
// them (invalid arguments, positions out of range, type mismatches).

#include <exception>
#include <string>

namespace tessaly {

namespace error {
inline constexpr int kInvalidArgument = 5;
inline constexpr int kOutOfRange = 9;
inline constexpr int kTypeMismatch = 13;
} // namespace error

// Not a std::runtime_error, whose text lives in the library's older string
// type (see LibraryThrows.cpp).
class Error : public std::exception {
public:
    Error(int number, std::string message)
        : number_(number)
        , message_(std::move(message)) {}
    int number() const { return number_; }
    const char* what() const noexcept override { return message_.c_str(); }

private:
    int number_;
    std::string message_;
};

} // namespace tessaly
