// Update.exe: brings the client up to the version of the update manifest.
// Started by the client with "<client folder>|<client exe>|<client process
// id>|<manifest SHA-256>" from a folder of its own, which holds the manifest.

#include <windows.h>

#include "base/CommandLine.h"
#include "base/ErrorLog.h"
#include "base/EventLog_win.h"
#include "base/Handles_win.h"
#include "base/IniFile_win.h"
#include "base/SystemDlls_win.h"
#include "shell/WindowsPlatform_win.h"
#include "update/UpdateFiles_win.h"
#include "updater/UpdateFrm_win.h"

namespace {

using namespace tessaly;

int RunUpdater() {
    win::UseApplicationEventLog();
    const std::wstring_view arguments = ArgumentsOf(GetCommandLineW());
    const auto parameter = ParseStartParameter(arguments);
    if (!parameter) {
        LogError(L"update: no start parameter");
        return 0;
    }
    // Not what the client passes: acting on it could write anywhere.
    if (const std::wstring problem = StartParameterProblem(*parameter); !problem.empty()) {
        LogError(L"update: start parameter \"" + std::wstring(arguments) + L"\" refused: " +
                 problem);
        return 1;
    }
    // One updater at a time: a second one would fight over the same files.
    win::UniqueHandle single(CreateMutexW(nullptr, FALSE, win::kUpdaterMutexName));
    if (!single || GetLastError() == ERROR_ALREADY_EXISTS) return 0;

    // The client's own settings (time-out) apply to its update too.
    const Config config = win::LoadConfigFromIni(parameter->folder + L"Tessaly.ini");
    win::UpdateFrm window(win::ProgramPlatform(), config, *parameter,
                          win::ProgramFolderWithSeparator());
    const UpdateOutcome outcome = window.Run();
    return outcome == UpdateOutcome::Failed || outcome == UpdateOutcome::NotRestored ? 1 : 0;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    LogUncaughtExceptions();
    win::UseSystemDllsOnly();
    try {
        return RunUpdater();
    } catch (...) {
        LogCurrentException(L"updater");
        return 1;
    }
}
