#pragma once
// Replacing the client's files so that a failure, a killed updater or a power
// cut at any moment leaves a client that starts, and the next start of either
// program finishes the job.
//
// Before anything is fetched, the updater writes a journal into the client's
// folder naming every file it will replace, with the SHA-256 of its old bytes
// (when there are any) and of its new ones. New files arrive beside their
// targets as "<name>.update-new". Each old file is then copied to
// "<name>.update-old" and the new one renamed over it in one step, so a
// target always exists and always holds old or new bytes whole; the client's
// executable goes last, so a new executable means every other file is new.
//
// What the folder holds decides the recovery, not a record of the steps
// taken: when every target holds its new bytes the update is complete;
// otherwise every old file is put back from its copy and every file that is
// new to the folder removed. Only then are the copies, the staged and partial
// files and, last, the journal removed, so a recovery that is itself cut
// short simply runs again at the next start.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessaly {

inline constexpr wchar_t kJournalName[] = L"update.journal";

// The file system as the replace uses it. Paths are absolute.
class UpdateFiles {
public:
    virtual ~UpdateFiles() = default;
    virtual bool Exists(const std::wstring& path) = 0;
    // The hex SHA-256 of the file's bytes; nullopt when it is absent or unreadable.
    virtual std::optional<std::wstring> Sha256Hex(const std::wstring& path) = 0;
    // The whole file; nullopt when absent, unreadable or above maxBytes.
    virtual std::optional<std::string> Read(const std::wstring& path, std::size_t maxBytes) = 0;
    // A new file with these bytes, on the disk when this returns true.
    virtual bool WriteDurably(const std::wstring& path, std::string_view bytes) = 0;
    // A copy, on the disk when this returns true; a failure may leave part of one.
    virtual bool CopyDurably(const std::wstring& from, const std::wstring& to) = 0;
    // Renames `from` over `to` in one step, replacing `to` when it exists.
    virtual bool Replace(const std::wstring& from, const std::wstring& to) = 0;
    // True when the file is gone afterwards, whether or not it was there.
    virtual bool Delete(const std::wstring& path) = 0;
    // The names of the files directly inside the folder; nullopt when it cannot be read.
    virtual std::optional<std::vector<std::wstring>> FileNames(const std::wstring& folder) = 0;
    virtual void Log(const std::wstring& text) = 0;
};

struct JournalEntry {
    std::wstring name;                     // directly inside the client's folder
    std::optional<std::wstring> oldSha256; // nullopt: the file is new to the folder
    std::wstring newSha256;
};

std::wstring StagingName(std::wstring_view name);
std::wstring BackupName(std::wstring_view name);
// The journal's own names and those of staged, partial and backup files:
// no manifest may name a file so.
bool IsUpdateWorkName(std::wstring_view name);

std::string JournalText(const std::vector<JournalEntry>& entries);
// Nullopt for anything JournalText did not write: a journal that cannot be
// read exactly is not acted on.
std::optional<std::vector<JournalEntry>> ParseJournal(std::string_view text);

// Puts the journal in place in one step; false when it could not.
bool WriteJournal(const std::wstring& folder, const std::vector<JournalEntry>& entries,
                  UpdateFiles& files);

enum class InstallState {
    Untouched, // no journal: nothing to finish
    New,       // every named file holds its new bytes
    Old,       // every named file holds its old bytes, or is gone when it had none
    Mixed,     // some file could not be read or put back; the journal stays for the next start
};

struct Recovery {
    InstallState state = InstallState::Untouched;
    bool clean = true; // no journal, staged, partial or backup file is left
};

// Finishes whatever an earlier run left in `folder` (ending in "\").
Recovery FinishUpdate(const std::wstring& folder, UpdateFiles& files);

} // namespace tessaly
