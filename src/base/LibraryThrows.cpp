// The C++ library reports its own errors (a string grown past its maximum, an
// index out of range) through these functions. Its own versions build
// std::logic_error and its kin, whose texts live in the library's older
// string type: every program would carry that string's code, some 25 KiB,
// for messages that only say a program has a fault. These throw exceptions
// that carry the library's text as it stands instead. Built for the static
// Windows programs only, which link the library whole.

#include <exception>
#include <new>
#include <typeinfo>

namespace tessaly {
namespace {

class LibraryError : public std::exception {
public:
    explicit LibraryError(const char* what)
        : what_(what) {}
    const char* what() const noexcept override { return what_; }

private:
    const char* what_; // the library's texts are literals
};

} // namespace
} // namespace tessaly

namespace std {

void __throw_bad_alloc() {
    throw bad_alloc();
}
void __throw_bad_array_new_length() {
    throw bad_array_new_length();
}
void __throw_bad_cast() {
    throw bad_cast();
}
void __throw_bad_typeid() {
    throw bad_typeid();
}
void __throw_bad_exception() {
    throw bad_exception();
}
void __throw_logic_error(const char* what) {
    throw tessaly::LibraryError(what);
}
void __throw_domain_error(const char* what) {
    throw tessaly::LibraryError(what);
}
void __throw_invalid_argument(const char* what) {
    throw tessaly::LibraryError(what);
}
void __throw_length_error(const char* what) {
    throw tessaly::LibraryError(what);
}
void __throw_out_of_range(const char* what) {
    throw tessaly::LibraryError(what);
}
void __throw_out_of_range_fmt(const char* format, ...) {
    throw tessaly::LibraryError(format);
}
void __throw_runtime_error(const char* what) {
    throw tessaly::LibraryError(what);
}
void __throw_range_error(const char* what) {
    throw tessaly::LibraryError(what);
}
void __throw_overflow_error(const char* what) {
    throw tessaly::LibraryError(what);
}
void __throw_underflow_error(const char* what) {
    throw tessaly::LibraryError(what);
}

} // namespace std
