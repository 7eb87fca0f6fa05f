#include "updater/UpdateRun.h"

#include <vector>

namespace tessaly {
namespace {

struct Staged {
    const UpdateFile* file;
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
        if (it->replaced) actions.Delete(it->file->target);
        if (it->backedUp && !actions.Move(it->backup, it->file->target))
            actions.Log(L"cannot put back " + it->file->target + L" from " + it->backup);
    }
    DiscardStaged(staged, actions);
}

} // namespace

UpdateOutcome RunUpdate(const UpdateList& list, UpdateActions& actions, const std::wstring& tag) {
    // A manifest that names one file wrongly cannot be trusted for the others,
    // and half an update is a client that matches no version.
    if (!list.refused.empty()) {
        for (const RefusedLine& refused : list.refused)
            actions.Log(L"nothing replaced for the line \"" + refused.line + L"\": " +
                        refused.reason);
        return UpdateOutcome::Failed;
    }
    if (list.files.empty()) return UpdateOutcome::NothingToDo;

    std::vector<Staged> staged;
    for (std::size_t i = 0; i < list.files.size(); ++i) {
        const UpdateFile& file = list.files[i];
        if (actions.Cancelled()) break;
        const std::wstring suffix = L"." + tag + L"-" + std::to_wstring(i);
        staged.push_back({&file, file.target + suffix + L".new", file.target + suffix + L".old"});
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
        if (actions.Exists(s.file->target)) {
            if (!actions.Move(s.file->target, s.backup)) {
                actions.Log(L"cannot set aside " + s.file->target);
                RollBack(staged, actions);
                return UpdateOutcome::Failed;
            }
            s.backedUp = true;
        }
        if (!actions.Move(s.staging, s.file->target)) {
            actions.Log(L"cannot replace " + s.file->target);
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
