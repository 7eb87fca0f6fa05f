// Tessaly: the desktop client of the browser game.

#include <windows.h>

#include "app/LoadFrm_win.h"
#include "app/Startup.h"
#include "app/WindowsPlatform_win.h"
#include "base/ErrorLog.h"
#include "base/EventLog_win.h"
#include "base/IniFile_win.h"

namespace {

using namespace tessaly;

int RunClient() {
    win::UseApplicationEventLog();
    const Config config = win::LoadProgramConfig();
    Platform& platform = win::ProgramPlatform();

    Startup startup(platform, config, [] { return Next::Continue; });
    if (startup.Initialize() == Next::EndProcess) return 0;
    if (startup.HandleArguments(ArgumentsOf(GetCommandLineW())) == Next::EndProcess) return 0;

    win::LoadFrm splash;
    splash.Show();
    return win::Form::RunMessageLoop();
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    try {
        return RunClient();
    } catch (...) {
        LogCurrentException(L"start-up");
        return 1;
    }
}
