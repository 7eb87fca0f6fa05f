#include "updater/UpdateRun.h"

#include "base/Text.h"

#include <vector>

namespace tessaly {
namespace {

struct Staged {
    const ManifestFile* file;
    std::wstring target;
    std::wstring staging;
    std::wstring backup;
    bool replaced = false; // the staging file now is the target
    bool backedUp = false; // the old target now is the backup
};

void DiscardStaged(std::vector<Staged>& staged, UpdateActions& actions) {
    for (const Staged& s : staged) {
        if (!s.replaced) actions.Delete(s.staging);
    }
}

// Puts every old file back, newest change first.
void RollBack(std::vector<Staged>& staged, UpdateActions& actions) {
    for (auto it = staged.rbegin(); it != staged.rend(); ++it) {
        if (it->replaced) actions.Delete(it->target);
        if (it->backedUp && !actions.Move(it->backup, it->target))
            actions.Log(L"cannot put back " + it->target + L" from " + it->backup);
    }
    DiscardStaged(staged, actions);
}

} // namespace

UpdateOutcome RunUpdate(const Manifest& manifest, const std::wstring& folder,
                        UpdateActions& actions, const std::wstring& tag) {
    // A manifest that names one file wrongly cannot be trusted for the others,
    // and half an update is a client that matches no version.
    if (!manifest.refused.empty()) {
        for (const RefusedLine& refused : manifest.refused)
            actions.Log(L"nothing replaced for the line \"" + refused.line + L"\": " +
                        refused.reason);
        return UpdateOutcome::Failed;
    }
    if (manifest.files.empty()) return UpdateOutcome::NothingToDo;

    std::vector<Staged> staged;
    for (std::size_t i = 0; i < manifest.files.size(); ++i) {
        const ManifestFile& file = manifest.files[i];
        if (actions.Cancelled()) break;
        const std::wstring target = folder + file.localName;
        const std::wstring suffix = L"." + tag + L"-" + DecimalText(i);
        staged.push_back({&file, target, target + suffix + L".new", target + suffix + L".old"});
        actions.Downloading(file);
        const bool arrived = actions.Download(file, staged.back().staging);
        if (actions.Cancelled()) break;
        if (!arrived) {
            actions.Log(L"download failed: " + file.url);
            DiscardStaged(staged, actions);
            return UpdateOutcome::Failed;
        }
        if (actions.Sha256Hex(staged.back().staging) != file.sha256) {
            actions.Log(L"wrong SHA-256, discarded: " + file.url);
            DiscardStaged(staged, actions);
            return UpdateOutcome::Failed;
        }
    }
    if (actions.Cancelled()) {
        DiscardStaged(staged, actions);
        return UpdateOutcome::Cancelled;
    }
    if (!actions.WaitForClientExit()) {
        actions.Log(L"the client is still running; nothing replaced");
        DiscardStaged(staged, actions);
        return UpdateOutcome::Failed;
    }
    for (Staged& s : staged) {
        if (actions.Exists(s.target)) {
            if (!actions.Move(s.target, s.backup)) {
                actions.Log(L"cannot set aside " + s.target);
                RollBack(staged, actions);
                return UpdateOutcome::Failed;
            }
            s.backedUp = true;
        }
        if (!actions.Move(s.staging, s.target)) {
            actions.Log(L"cannot replace " + s.target);
            RollBack(staged, actions);
            return UpdateOutcome::Failed;
        }
        s.replaced = true;
    }
    for (const Staged& s : staged) {
        if (s.backedUp) actions.Delete(s.backup);
    }
    return UpdateOutcome::Updated;
}

} // namespace tessaly
