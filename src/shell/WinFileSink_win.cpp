#include <windows.h>

#include "shell/WinFileSink_win.h"

#include "base/Handles_win.h"
#include "base/Text.h"

namespace tessaly::win {
namespace {

constexpr DWORD kHiddenOrSystem = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

class WinPartialFile : public PartialFile {
public:
    WinPartialFile(UniqueHandle file, std::wstring path, std::wstring target, bool hidden)
        : file_(std::move(file))
        , path_(std::move(path))
        , target_(std::move(target))
        , hidden_(hidden) {}

    ~WinPartialFile() override {
        if (committed_) return;
        file_.reset();
        DeleteFileW(path_.c_str());
    }

    bool Write(std::span<const std::byte> bytes) override {
        while (!bytes.empty()) {
            DWORD written = 0;
            if (!WriteFile(file_.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                           nullptr) ||
                written == 0)
                return false;
            bytes = bytes.subspan(written);
        }
        return true;
    }

    bool Commit() override {
        // The data reaches the disk before the rename does: otherwise a power
        // cut could leave an empty or torn file in the target's place.
        if (!file_ || !FlushFileBuffers(file_.get()) || !CloseHandle(file_.release())) return false;
        // Windows will not replace a hidden or system file with one that lacks
        // those attributes; the target loses them first and gets back what it
        // had if the move fails.
        const DWORD old = GetFileAttributesW(target_.c_str());
        const bool cleared = old != INVALID_FILE_ATTRIBUTES && (old & kHiddenOrSystem) &&
                             SetFileAttributesW(target_.c_str(), NonZero(old & ~kHiddenOrSystem));
        if (!MoveFileExW(path_.c_str(), target_.c_str(), MOVEFILE_REPLACE_EXISTING)) {
            if (cleared) SetFileAttributesW(target_.c_str(), old);
            return false;
        }
        committed_ = true;
        // The new file was created hidden or not as asked; this only corrects
        // a file system that did not keep the attribute through the move.
        const DWORD now = GetFileAttributesW(target_.c_str());
        if (now != INVALID_FILE_ATTRIBUTES && ((now & FILE_ATTRIBUTE_HIDDEN) != 0) != hidden_)
            SetFileAttributesW(target_.c_str(), NonZero(now ^ FILE_ATTRIBUTE_HIDDEN));
        return true;
    }

private:
    static DWORD NonZero(DWORD attributes) {
        return attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
    }

    UniqueHandle file_;
    std::wstring path_;
    std::wstring target_;
    bool hidden_;
    bool committed_ = false;
};

} // namespace

std::unique_ptr<PartialFile> WinFileSink::Create(const std::wstring& target, bool hidden) {
    // Beside the target, so the final move is a rename on the same volume; the
    // process id and a counter keep two downloads of one target apart.
    const DWORD attributes = hidden ? FILE_ATTRIBUTE_HIDDEN : FILE_ATTRIBUTE_NORMAL;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::wstring path = target + L"." + DecimalText(GetCurrentProcessId()) + L"-" +
                            DecimalText(attempt) + L".part";
        UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      attributes | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        if (file)
            return std::make_unique<WinPartialFile>(std::move(file), std::move(path), target,
                                                    hidden);
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return nullptr;
    }
    return nullptr;
}

} // namespace tessaly::win
