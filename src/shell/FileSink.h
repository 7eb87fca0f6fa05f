#pragma once
// Where downloads are written: into a new file beside the target, which takes
// the target's place only once it is complete, so a broken transfer never
// leaves half a file where a whole one was. The file system is the real one
// (WinFileSink_win.h); the tests keep files in memory.

#include <cstddef>
#include <memory>
#include <span>
#include <string>

namespace tessaly {

class PartialFile {
public:
    // Removes the new file unless Commit succeeded.
    virtual ~PartialFile() = default;
    virtual bool Write(std::span<const std::byte> bytes) = 0;
    // Puts the file in the target's place, hidden if it was created so; false
    // leaves the target as it was.
    virtual bool Commit() = 0;
};

class FileSink {
public:
    virtual ~FileSink() = default;
    // nullptr when the new file cannot be created (no such folder, no rights).
    virtual std::unique_ptr<PartialFile> Create(const std::wstring& target, bool hidden) = 0;
};

} // namespace tessaly
