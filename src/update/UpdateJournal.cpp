#include "update/UpdateJournal.h"

#include "base/Text.h"
#include "update/FileName.h"
#include "update/Manifest.h"

#include <algorithm>

namespace tessaly {
namespace {

constexpr std::string_view kHeader = "tessaly update journal 1\n";
constexpr std::wstring_view kStagingSuffix = L".update-new";
constexpr std::wstring_view kBackupSuffix = L".update-old";
constexpr wchar_t kJournalTempSuffix[] = L".tmp";
constexpr std::size_t kJournalMaxBytes = 1024 * 1024;

bool IsCanonicalSha256(std::wstring_view text) {
    return IsSha256Hex(text) && AsciiLower(text) == text;
}

std::optional<JournalEntry> ParseEntry(std::string_view line) {
    // "<old SHA-256 or ->" " " "<new SHA-256>" " " "<name>"
    const std::size_t first = line.find(' ');
    if (first == std::string_view::npos) return std::nullopt;
    const std::size_t second = line.find(' ', first + 1);
    if (second == std::string_view::npos) return std::nullopt;
    JournalEntry entry;
    const std::wstring oldHash = Utf8ToWide(line.substr(0, first));
    entry.newSha256 = Utf8ToWide(line.substr(first + 1, second - first - 1));
    entry.name = Utf8ToWide(line.substr(second + 1));
    if (oldHash != L"-") {
        if (!IsCanonicalSha256(oldHash)) return std::nullopt;
        entry.oldSha256 = oldHash;
    }
    if (!IsCanonicalSha256(entry.newSha256) || !UnsafeNameReason(entry.name).empty() ||
        IsUpdateWorkName(entry.name) || WideToUtf8(entry.name) != line.substr(second + 1))
        return std::nullopt;
    return entry;
}

// Puts every old file back and removes every file new to the folder; false
// when one of them cannot be. Backwards, so that the client's executable,
// replaced last, is the first to be old again; and it stops at the first file
// that stays new, so that a new client still stands only among new files.
bool RollBack(const std::wstring& folder, const std::vector<JournalEntry>& entries,
              UpdateFiles& files) {
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        const JournalEntry& entry = *it;
        const std::wstring target = folder + entry.name;
        const std::optional<std::wstring> now = files.Sha256Hex(target);
        if (entry.oldSha256) {
            if (now == entry.oldSha256) continue;
            const std::wstring backup = folder + BackupName(entry.name);
            if (files.Sha256Hex(backup) == entry.oldSha256 && files.Replace(backup, target))
                continue;
            files.Log(L"cannot put back the old " + target);
        } else {
            if (!files.Exists(target)) continue;
            // Whatever else stands there now was not put there by the update.
            if (now && now != entry.newSha256) continue;
            if (now && files.Delete(target)) continue;
            files.Log(L"cannot remove the new " + target);
        }
        return false;
    }
    return true;
}

// Removes the backups, staged and partial files of the entries; false when
// one stays.
bool RemoveWork(const std::wstring& folder, const std::vector<JournalEntry>& entries,
                UpdateFiles& files) {
    bool removed = true;
    std::vector<std::wstring> partialPrefixes;
    for (const JournalEntry& entry : entries) {
        removed &= files.Delete(folder + StagingName(entry.name));
        removed &= files.Delete(folder + BackupName(entry.name));
        partialPrefixes.push_back(AsciiLower(StagingName(entry.name) + L"."));
    }
    // Downloads write "<staged name>.<run>-<n>.part" and rename it when complete.
    const std::optional<std::vector<std::wstring>> names = files.FileNames(folder);
    if (!names) return false;
    for (const std::wstring& name : *names) {
        const std::wstring lower = AsciiLower(name);
        if (!lower.ends_with(L".part")) continue;
        if (std::any_of(partialPrefixes.begin(), partialPrefixes.end(),
                        [&](const std::wstring& prefix) { return lower.starts_with(prefix); }))
            removed &= files.Delete(folder + name);
    }
    return removed;
}

} // namespace

std::wstring StagingName(std::wstring_view name) {
    return std::wstring(name) + std::wstring(kStagingSuffix);
}

std::wstring BackupName(std::wstring_view name) {
    return std::wstring(name) + std::wstring(kBackupSuffix);
}

bool IsUpdateWorkName(std::wstring_view name) {
    const std::wstring lower = AsciiLower(name);
    const std::wstring journal = kJournalName;
    return lower == journal || lower == journal + kJournalTempSuffix ||
           lower.ends_with(kStagingSuffix) || lower.ends_with(kBackupSuffix) ||
           lower.find(std::wstring(kStagingSuffix) + L".") != std::wstring::npos;
}

std::string JournalText(const std::vector<JournalEntry>& entries) {
    std::string text(kHeader);
    for (const JournalEntry& entry : entries) {
        text += entry.oldSha256 ? WideToUtf8(*entry.oldSha256) : "-";
        text += ' ' + WideToUtf8(entry.newSha256) + ' ' + WideToUtf8(entry.name) + '\n';
    }
    return text;
}

std::optional<std::vector<JournalEntry>> ParseJournal(std::string_view text) {
    if (!text.starts_with(kHeader) || !text.ends_with('\n')) return std::nullopt;
    text.remove_prefix(kHeader.size());
    std::vector<JournalEntry> entries;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::optional<JournalEntry> entry = ParseEntry(text.substr(0, end));
        if (!entry) return std::nullopt;
        const std::wstring name = AsciiLower(entry->name);
        if (std::any_of(entries.begin(), entries.end(),
                        [&](const JournalEntry& other) { return AsciiLower(other.name) == name; }))
            return std::nullopt;
        entries.push_back(std::move(*entry));
        text.remove_prefix(end + 1);
    }
    return entries;
}

bool WriteJournal(const std::wstring& folder, const std::vector<JournalEntry>& entries,
                  UpdateFiles& files) {
    const std::wstring journal = folder + kJournalName;
    const std::wstring temporary = journal + kJournalTempSuffix;
    if (files.Delete(temporary) && files.WriteDurably(temporary, JournalText(entries)) &&
        files.Replace(temporary, journal))
        return true;
    files.Delete(temporary);
    return false;
}

Recovery FinishUpdate(const std::wstring& folder, UpdateFiles& files) {
    const std::wstring journal = folder + kJournalName;
    // Cut short while it was written: nothing had been fetched or moved yet.
    if (!files.Delete(journal + kJournalTempSuffix)) return {InstallState::Untouched, false};
    if (!files.Exists(journal)) return {};
    const std::optional<std::string> text = files.Read(journal, kJournalMaxBytes);
    if (!text) {
        files.Log(L"cannot read " + journal);
        return {InstallState::Mixed, false};
    }
    const std::optional<std::vector<JournalEntry>> entries = ParseJournal(*text);
    if (!entries) {
        // Not written by an update: there is nothing it could tell us to undo.
        files.Log(L"removing " + journal + L", which is no update journal");
        return {InstallState::Untouched, files.Delete(journal)};
    }
    // Complete when every file holds its new bytes. A file that is there but
    // cannot be read decides nothing: once backups are being removed, a read
    // that fails must not turn a finished update into a rollback.
    bool complete = true;
    for (const JournalEntry& entry : *entries) {
        const std::wstring target = folder + entry.name;
        if (!files.Exists(target)) {
            complete = false;
            continue;
        }
        const std::optional<std::wstring> now = files.Sha256Hex(target);
        if (!now) {
            files.Log(L"cannot read " + target + L"; the update stays unfinished");
            return {InstallState::Mixed, false};
        }
        complete &= now == entry.newSha256;
    }
    Recovery recovery{complete ? InstallState::New : InstallState::Old, false};
    if (!complete && !RollBack(folder, *entries, files)) {
        recovery.state = InstallState::Mixed;
        return recovery;
    }
    recovery.clean = RemoveWork(folder, *entries, files) && files.Delete(journal);
    return recovery;
}

} // namespace tessaly
