#pragma once
// A client folder in memory for the replace's tests and its fuzzer. Every
// file operation and download is a step; any step may be made to fail, and
// the "process" may stop before any step (a thrown Stopped). After every step
// the client's executable must still be there, whole, as after a power cut
// at that moment.

#include "base/Text.h"
#include "updater/UpdateRun.h"

#include <functional>
#include <map>
#include <set>
#include <string>

namespace tessaly::test {

struct Stopped {};

// A stand-in for SHA-256 that a manifest can name: the bytes' hex, padded to 64 digits.
inline std::wstring HashOf(const std::string& bytes) {
    const std::wstring hex =
        LowerHex({reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()});
    return hex + std::wstring(64 - hex.size(), L'0');
}

class MemoryFolder : public UpdateFiles, public UpdateActions {
public:
    std::map<std::wstring, std::string> files;  // full path -> bytes
    std::map<std::wstring, std::string> served; // url -> body
    std::function<bool(int step)> failing = [](int) { return false; };
    std::function<void()> afterStep = [] {};
    int stopBefore = -1;   // the step before which the process ends
    int cancelBefore = -1; // cancel while this download runs
    bool clientGone = true;
    int steps = 0;
    int downloads = 0;
    bool cancelled = false;

    bool Exists(const std::wstring& path) override { return files.count(path) > 0; }
    std::optional<std::wstring> Sha256Hex(const std::wstring& path) override {
        if (!Step() || !files.count(path)) return std::nullopt;
        return HashOf(files[path]);
    }
    std::optional<std::string> Read(const std::wstring& path, std::size_t maxBytes) override {
        if (!Step() || !files.count(path) || files[path].size() > maxBytes) return std::nullopt;
        return files[path];
    }
    bool WriteDurably(const std::wstring& path, std::string_view bytes) override {
        if (files.count(path)) return false;
        const bool written = Step();
        files[path] = written ? bytes : bytes.substr(0, bytes.size() / 2);
        afterStep();
        return written;
    }
    bool CopyDurably(const std::wstring& from, const std::wstring& to) override {
        if (!files.count(from) || files.count(to)) return false;
        const std::string bytes = files[from];
        return WriteDurably(to, bytes);
    }
    bool Replace(const std::wstring& from, const std::wstring& to) override {
        if (!Step() || !files.count(from)) return false;
        files[to] = files[from];
        files.erase(from);
        afterStep();
        return true;
    }
    bool Delete(const std::wstring& path) override {
        if (!files.count(path)) return true;
        if (!Step()) return false;
        files.erase(path);
        afterStep();
        return true;
    }
    std::optional<std::vector<std::wstring>> FileNames(const std::wstring& folder) override {
        if (!Step()) return std::nullopt;
        std::vector<std::wstring> names;
        for (const auto& [path, bytes] : files) {
            if (path.starts_with(folder)) names.push_back(path.substr(folder.size()));
        }
        return names;
    }
    void Log(const std::wstring&) override {}

    void Downloading(const ManifestFile&) override {}
    // Like the real downloader: a partial file first, renamed when complete.
    bool Download(const ManifestFile& file, const std::wstring& path) override {
        if (downloads++ == cancelBefore) cancelled = true;
        const std::wstring partial = path + L".7-0.part";
        if (!cancelled && served.count(file.url) && WriteDurably(partial, served[file.url]))
            return Replace(partial, path);
        Delete(partial);
        return false;
    }
    bool Cancelled() override { return cancelled; }
    bool WaitForClientExit() override { return clientGone; }

private:
    bool Step() {
        if (steps == stopBefore) throw Stopped{};
        return !failing(steps++);
    }
};

} // namespace tessaly::test
