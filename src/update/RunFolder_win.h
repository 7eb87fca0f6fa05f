#pragma once
// A folder of its own for one update: the updater and the manifest it acts
// on are written there, not into the temporary folder's root, where any
// program of the user's can leave a DLL beside them or swap a file between
// its writing and its use.

#include <optional>
#include <string>

namespace tessaly::win {

// What every such folder's name starts with (an uninstaller removes what is
// left of them); 16 random hex digits follow.
inline constexpr wchar_t kRunFolderPrefix[] = L"Tessaly-update-";

// A new folder kRunFolderPrefix + 16 random hex digits inside `parent` (which
// ends in a backslash), made by this call and open to the current user only:
// its list of access holds that user alone and inherits nothing from the
// parent. Its path, ending in a backslash; nothing (the error logged) when it
// could not be made.
std::optional<std::wstring> CreateRunFolder(const std::wstring& parent);

// Removes the folders of earlier updates from `parent`, unless an updater
// runs now: only the files an update puts there, and a folder only once it
// is empty, so nothing else anyone put there is lost.
void RemoveRunFolders(const std::wstring& parent);

} // namespace tessaly::win
