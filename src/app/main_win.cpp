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

// The start-up's platform, whose network test has run ahead on the
// prefetch's thread.
class TestedAhead final : public Platform {
public:
    TestedAhead(Platform& platform, win::StartupPrefetch& prefetch)
        : platform_(platform)
        , prefetch_(prefetch) {}
    bool IsOnline() override { return prefetch_.Online(); }
    MessageAnswer ShowMessage(const Message& message) override {
        return platform_.ShowMessage(message);
    }
    bool Open(const std::wstring& file, const std::wstring& parameters) override {
        return platform_.Open(file, parameters);
    }
    bool Start(const std::wstring& program, const std::wstring& parameters,
               const std::wstring& folder) override {
        return platform_.Start(program, parameters, folder);
    }

private:
    Platform& platform_;
    win::StartupPrefetch& prefetch_;
};

int RunClient() {
    win::UseApplicationEventLog();
    // An update killed halfway is finished before any of its files is used.
    win::FinishInterruptedUpdate(win::ProgramFolderWithSeparator());
    win::RemoveRunFolders(win::GetTempDir());
    Platform& platform = win::ProgramPlatform();
    const Config config = win::LoadProgramConfig();
    // The network test and the manifest's download run while OLE starts;
    // the signature check's DLL loads and the splash decodes while the
    // version check runs.
    win::StartupPrefetch prefetch({
        .networkTest = [&platform] { return platform.IsOnline(); },
        .addresses = {config.manifest, SignatureAddress(config.manifest)},
        .limits = ManifestLimits(config),
        .dlls = {"bcrypt.dll"},
        .pngIds = {IDR_PNG_SPLASH, IDR_PNG_LOGIN_BG},
    });
    const OleSession ole;
    // The window system's first window of the thread costs the most: the
    // splash's is made, hidden, while the version check is still under way.
    win::LoadFrm splash;
    splash.Prepare();
    TestedAhead startupPlatform(platform, prefetch);
    Startup startup(startupPlatform, config,
                    [&] { return win::CheckForUpdate(platform, config, prefetch); });
    if (startup.Initialize() == Next::EndProcess) return 0;
    if (startup.HandleArguments(ArgumentsOf(GetCommandLineW())) == Next::EndProcess) return 0;

    win::UseBrowserFeatureControls();
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
    LogUncaughtExceptions();
    win::UseSystemDllsOnly();
    try {
        return RunClient();
    } catch (...) {
        LogCurrentException(L"start-up");
        return 1;
    }
}
