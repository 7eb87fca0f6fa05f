#include "updater/UpdateRun.h"

#include "base/Text.h"

#include <algorithm>
#include <vector>

namespace tessaly {
namespace {

struct Planned {
    const ManifestFile* file;
    JournalEntry entry;
};

// The manifest's files in the order they replace their targets, the client
// last, each with what its target holds now; nothing when a target cannot be
// read.
std::optional<std::vector<Planned>> Plan(const Manifest& manifest, const std::wstring& folder,
                                         std::wstring_view clientName, UpdateFiles& files) {
    const std::wstring client = AsciiLower(clientName);
    std::vector<Planned> plan;
    for (const bool last : {false, true}) {
        for (const ManifestFile& file : manifest.files) {
            if ((AsciiLower(file.localName) == client) != last) continue;
            const std::wstring target = folder + file.localName;
            Planned planned{&file, {file.localName, std::nullopt, file.sha256}};
            if (files.Exists(target)) {
                planned.entry.oldSha256 = files.Sha256Hex(target);
                if (!planned.entry.oldSha256) {
                    files.Log(L"cannot read " + target);
                    return std::nullopt;
                }
            }
            plan.push_back(std::move(planned));
        }
    }
    return plan;
}

bool Unchanged(const std::vector<Planned>& plan, const std::wstring& folder, UpdateFiles& files) {
    return std::all_of(plan.begin(), plan.end(), [&](const Planned& planned) {
        const std::wstring target = folder + planned.entry.name;
        const auto now = files.Exists(target) ? files.Sha256Hex(target) : std::nullopt;
        if (now == planned.entry.oldSha256) return true;
        files.Log(L"changed while the update was fetched: " + target);
        return false;
    });
}

bool Place(const std::vector<Planned>& plan, const std::wstring& folder, UpdateFiles& files) {
    for (const Planned& planned : plan) {
        const std::wstring target = folder + planned.entry.name;
        if (planned.entry.oldSha256 &&
            !files.CopyDurably(target, folder + BackupName(planned.entry.name))) {
            files.Log(L"cannot keep a copy of " + target);
            return false;
        }
        if (!files.Replace(folder + StagingName(planned.entry.name), target)) {
            files.Log(L"cannot replace " + target);
            return false;
        }
    }
    return true;
}

// Finishes the run through the journal, so that what the player is told is
// what the folder holds: `hoped` when it holds what it should.
UpdateOutcome Settle(const std::wstring& folder, UpdateFiles& files, UpdateOutcome hoped) {
    const Recovery recovery = FinishUpdate(folder, files);
    if (!recovery.clean) files.Log(L"leftovers stay until the next start");
    if (recovery.state == InstallState::Mixed) return UpdateOutcome::NotRestored;
    if (hoped == UpdateOutcome::Updated && recovery.state != InstallState::New)
        return UpdateOutcome::Failed;
    return hoped;
}

} // namespace

UpdateOutcome RunUpdate(const Manifest& manifest, const std::wstring& folder,
                        std::wstring_view clientName, UpdateFiles& files, UpdateActions& actions) {
    // A manifest that names one file wrongly cannot be trusted for the others,
    // and half an update is a client that matches no version.
    if (!manifest.refused.empty()) {
        for (const RefusedLine& refused : manifest.refused)
            files.Log(L"nothing replaced for the line \"" + refused.line + L"\": " +
                      refused.reason);
        return UpdateOutcome::Failed;
    }
    if (manifest.files.empty()) return UpdateOutcome::NothingToDo;
    // The journal of an earlier run must be finished before this one writes its own.
    if (const Recovery earlier = FinishUpdate(folder, files); !earlier.clean) {
        files.Log(L"an earlier update in " + folder + L" cannot be finished; nothing replaced");
        return earlier.state == InstallState::Mixed ? UpdateOutcome::NotRestored
                                                    : UpdateOutcome::Failed;
    }
    const std::optional<std::vector<Planned>> plan = Plan(manifest, folder, clientName, files);
    std::vector<JournalEntry> entries;
    if (plan) {
        for (const Planned& planned : *plan)
            entries.push_back(planned.entry);
    }
    if (!plan || !WriteJournal(folder, entries, files)) {
        files.Log(L"cannot write the journal in " + folder + L"; nothing replaced");
        return UpdateOutcome::Failed;
    }

    for (const Planned& planned : *plan) {
        if (actions.Cancelled()) break;
        const std::wstring staging = folder + StagingName(planned.entry.name);
        actions.Downloading(*planned.file);
        const bool arrived = actions.Download(*planned.file, staging);
        if (actions.Cancelled()) break;
        if (!arrived) {
            files.Log(L"download failed: " + planned.file->url);
            return Settle(folder, files, UpdateOutcome::Failed);
        }
        if (files.Sha256Hex(staging) != planned.entry.newSha256) {
            files.Log(L"wrong SHA-256, discarded: " + planned.file->url);
            return Settle(folder, files, UpdateOutcome::Failed);
        }
    }
    if (actions.Cancelled()) return Settle(folder, files, UpdateOutcome::Cancelled);
    if (!actions.WaitForClientExit()) {
        files.Log(L"the client is still running; nothing replaced");
        return Settle(folder, files, UpdateOutcome::Failed);
    }
    if (!Unchanged(*plan, folder, files)) return Settle(folder, files, UpdateOutcome::Failed);
    const bool placed = Place(*plan, folder, files);
    return Settle(folder, files, placed ? UpdateOutcome::Updated : UpdateOutcome::Failed);
}

} // namespace tessaly
