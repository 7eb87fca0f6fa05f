// Tessaly: the desktop client of the browser game.

#include <windows.h>

#include <ole2.h>

#include "app/BrowserFactory_win.h"
#include "app/LoadFrm_win.h"
#include "app/LoginFrm_win.h"
#include "app/StartupPrefetch_win.h"
#include "app/WebBrowserEngine_win.h"
#include "app/Startup.h"
#include "app/UpdateCheck_win.h"
#include "app/WebMainFrm_win.h"
#include "shell/WindowsPlatform_win.h"
#include "base/ErrorLog.h"
#include "base/EventLog_win.h"
#include "base/IniFile_win.h"
#include "base/SystemDlls_win.h"
#include "resources/ResourceIds.h"
#include "base/TempFolder_win.h"
#include "update/RunFolder_win.h"
#include "update/UpdateFiles_win.h"

namespace {

using namespace tessaly;

// The embedded browser control needs a single-threaded apartment with OLE.
class OleSession {
public:
    OleSession()
        : ok_(SUCCEEDED(OleInitialize(nullptr))) {}
    ~OleSession() {
        if (ok_) OleUninitialize();
    }
    OleSession(const OleSession&) = delete;
    OleSession& operator=(const OleSession&) = delete;

private:
    bool ok_;
};

int RunClient() {
    win::UseApplicationEventLog();
    // The network test's and the signature check's DLLs load, and both
    // pictures decode, while the network test and the version check run.
    const win::StartupPrefetch prefetch({"wininet.dll", "bcrypt.dll"},
                                        {IDR_PNG_SPLASH, IDR_PNG_LOGIN_BG});
    // An update killed halfway is finished before any of its files is used.
    std::wstring folder = win::ProgramFolder();
    if (!folder.ends_with(L'\\')) folder += L'\\';
    win::FinishInterruptedUpdate(folder);
    win::RemoveRunFolders(win::GetTempDir());
    const OleSession ole;
    const Config config = win::LoadProgramConfig();
    Platform& platform = win::ProgramPlatform();

    Startup startup(platform, config, [&] { return win::CheckForUpdate(platform, config); });
    if (startup.Initialize() == Next::EndProcess) return 0;
    if (startup.HandleArguments(ArgumentsOf(GetCommandLineW())) == Next::EndProcess) return 0;

    win::UseBrowserFeatureControls();
    win::LoadFrm splash;
    std::unique_ptr<win::WebMainFrm> mainWindow;
    win::LoginFrm login({
        .platform = platform,
        .config = config,
        .setUrl =
            [&mainWindow](const std::wstring& address) {
                mainWindow->SetURL(address);
                mainWindow->Show();
                SetForegroundWindow(mainWindow->hwnd());
            },
        .closeSplash = [&splash] { splash.Close(); },
        .endProcess = [] { ExitProcess(0); },
        .createBrowser = win::CreateBrowser,
        .gameSessionOpen = [&mainWindow] { return mainWindow && mainWindow->IsLoaded(); },
    });
    mainWindow = std::make_unique<win::WebMainFrm>(win::MainContext{
        .platform = platform,
        .config = config,
        .createBrowser = win::CreateBrowser,
        .showLogin = [&login] { login.ShowAgain(); },
        .endProcess = [] { ExitProcess(0); },
    });
    splash.SetLoginLoader([&login] { login.Load(); });
    splash.Show();
    return win::Form::RunMessageLoop();
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    win::UseSystemDllsOnly();
    try {
        return RunClient();
    } catch (...) {
        LogCurrentException(L"start-up");
        return 1;
    }
}
