#pragma once
// GoogleTest's own Notification is built on std::mutex and
// std::condition_variable, which the win32 thread model of the cross compiler
// (cmake/mingw-w64-x86_64.cmake) does not have. This one, on a Win32 event,
// takes its place; the build includes it ahead of every GoogleTest source.

namespace testing::internal {

class Notification {
public:
    Notification();
    ~Notification();
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;

    void Notify();
    void WaitForNotification();

private:
    void* event_;
};

} // namespace testing::internal

#define GTEST_HAS_NOTIFICATION_ 1
