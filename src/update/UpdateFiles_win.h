#pragma once
// The replace's file operations on Windows. A file that a virus scanner or
// an indexer has just opened refuses to be moved or deleted for a moment, so
// those are tried again for a few seconds before they count as failed.

#include "update/UpdateJournal.h"

namespace tessaly::win {

// The hex SHA-256 of a file's bytes; empty when it cannot be read.
std::wstring FileSha256Hex(const std::wstring& path);

class WinUpdateFiles : public UpdateFiles {
public:
    bool Exists(const std::wstring& path) override;
    std::optional<std::wstring> Sha256Hex(const std::wstring& path) override;
    std::optional<std::string> Read(const std::wstring& path, std::size_t maxBytes) override;
    bool WriteDurably(const std::wstring& path, std::string_view bytes) override;
    bool CopyDurably(const std::wstring& from, const std::wstring& to) override;
    bool Replace(const std::wstring& from, const std::wstring& to) override;
    bool Delete(const std::wstring& path) override;
    std::optional<std::vector<std::wstring>> FileNames(const std::wstring& folder) override;
    void Log(const std::wstring& text) override;
};

// At the start of either program: finishes an update that an earlier run left
// unfinished in the client's folder (ending in "\"), unless an updater is at
// work on it right now.
void FinishInterruptedUpdate(const std::wstring& folder);

// Held by the updater while it runs: one at a time works on a folder.
inline constexpr wchar_t kUpdaterMutexName[] = L"Local\\TessalyUpdater";

} // namespace tessaly::win
