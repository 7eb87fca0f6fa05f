#include "e2e/ClientProcess_win.h"

#include <shellapi.h>

#include "base/Text.h"
#include "shell/TestServer_win.h"

#include <algorithm>
#include <optional>

namespace tessaly::e2e {
namespace {

struct Watch {
    DWORD pid;
    std::wstring folder; // lower-case; also programs started from here count
    ClientRun* run;
};

std::wstring ImageOf(DWORD pid) {
    win::UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
    wchar_t path[MAX_PATH * 4] = {};
    DWORD size = MAX_PATH * 4;
    if (!process || !QueryFullProcessImageNameW(process.get(), 0, path, &size)) return {};
    return AsciiLower(std::wstring(path, size));
}

BOOL CALLBACK CollectVisible(HWND hwnd, LPARAM param) {
    auto* watch = reinterpret_cast<Watch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (!IsWindowVisible(hwnd)) return TRUE;
    if (pid != watch->pid && (watch->folder.empty() || !ImageOf(pid).starts_with(watch->folder)))
        return TRUE;
    wchar_t name[128] = {};
    GetClassNameW(hwnd, name, 128);
    auto& classes = watch->run->visibleWindowClasses;
    if (std::find(classes.begin(), classes.end(), name) == classes.end()) {
        classes.emplace_back(name);
        RECT rect{};
        GetWindowRect(hwnd, &rect);
        watch->run->visibleWindowRects.push_back(rect);
    }
    return TRUE;
}

std::optional<std::wstring> Environment(const std::wstring& name) {
    const DWORD size = GetEnvironmentVariableW(name.c_str(), nullptr, 0);
    if (size == 0) return std::nullopt;
    std::wstring value(size, L'\0');
    value.resize(GetEnvironmentVariableW(name.c_str(), value.data(), size));
    return value;
}

std::vector<std::wstring> ReadLines(const std::wstring& path) {
    std::vector<std::wstring> lines;
    win::UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                       0, nullptr));
    if (!file) return lines;
    std::string bytes(GetFileSize(file.get(), nullptr), '\0');
    DWORD read = 0;
    ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    std::wstring text = Utf8ToWide(bytes);
    std::size_t start = 0;
    for (std::size_t end; (end = text.find(L'\n', start)) != std::wstring::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

} // namespace

std::wstring BuiltFile(const wchar_t* relative) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path(self);
    path.resize(path.find_last_of(L'\\') + 1);
    std::wstring tail = relative;
    std::replace(tail.begin(), tail.end(), L'/', L'\\');
    wchar_t full[MAX_PATH] = {};
    GetFullPathNameW((path + tail).c_str(), MAX_PATH, full, nullptr);
    return full;
}

std::wstring ClientPath() {
    return BuiltFile(TESSALY_EXE_RELATIVE);
}

LiveClient::LiveClient(const ClientOptions& options) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    static int count = 0;
    logPath_ = std::wstring(temp) + L"tessaly_e2e_" + std::to_wstring(GetCurrentProcessId()) +
               L"_" + std::to_wstring(++count) + L".log";
    DeleteFileW(logPath_.c_str());
    SetEnvironmentVariableW(L"TESSALY_AUTOMATION_LOG", logPath_.c_str());
    SetEnvironmentVariableW(L"TESSALY_AUTOMATION_NETWORK",
                            options.network.empty() ? nullptr : options.network.c_str());
    scriptPath_ = logPath_ + L".script";
    if (!options.browserScript.empty()) {
        win::UniqueHandle script(CreateFileW(scriptPath_.c_str(), GENERIC_WRITE, 0, nullptr,
                                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        const std::string utf8 = WideToUtf8(options.browserScript);
        DWORD written = 0;
        WriteFile(script.get(), utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
        SetEnvironmentVariableW(L"TESSALY_BROWSER_SCRIPT", scriptPath_.c_str());
    }

    // The extra variables hold for the client only: this process gets its own back.
    std::vector<std::pair<std::wstring, std::optional<std::wstring>>> saved;
    for (const auto& [name, value] : options.environment) {
        saved.emplace_back(name, Environment(name));
        SetEnvironmentVariableW(name.c_str(), value.c_str());
    }

    const std::wstring exe = options.exe.empty() ? ClientPath() : options.exe;
    std::wstring commandLine =
        L"\"" + exe + L"\"" + (options.arguments.empty() ? L"" : L" " + options.arguments);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    const BOOL started = CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                                        nullptr, nullptr, &si, &pi);
    SetEnvironmentVariableW(L"TESSALY_AUTOMATION_LOG", nullptr);
    SetEnvironmentVariableW(L"TESSALY_AUTOMATION_NETWORK", nullptr);
    SetEnvironmentVariableW(L"TESSALY_BROWSER_SCRIPT", nullptr);
    for (const auto& [name, value] : saved)
        SetEnvironmentVariableW(name.c_str(), value ? value->c_str() : nullptr);
    if (!started) return;
    process_.reset(pi.hProcess);
    win::UniqueHandle thread(pi.hThread);
    pid_ = pi.dwProcessId;
}

LiveClient::~LiveClient() {
    // The client we started, and only it.
    if (process_ && !WaitForExit(0)) TerminateProcess(process_.get(), 99);
    DeleteFileW(logPath_.c_str());
    DeleteFileW(scriptPath_.c_str());
}

bool LiveClient::WaitForExit(DWORD timeoutMs) const {
    return !process_ || WaitForSingleObject(process_.get(), timeoutMs) == WAIT_OBJECT_0;
}

DWORD LiveClient::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (process_) GetExitCodeProcess(process_.get(), &code);
    return code;
}

std::vector<std::wstring> LiveClient::Log() const {
    return ReadLines(logPath_);
}

HWND LiveClient::Window(const wchar_t* className, bool shownOnly) const {
    struct Search {
        DWORD pid;
        const wchar_t* name;
        bool shownOnly;
        HWND found;
    } search{pid_, className, shownOnly, nullptr};
    EnumWindows(
        [](HWND hwnd, LPARAM param) {
            auto* s = reinterpret_cast<Search*>(param);
            DWORD pid = 0;
            GetWindowThreadProcessId(hwnd, &pid);
            wchar_t name[128] = {};
            GetClassNameW(hwnd, name, 128);
            if (pid != s->pid || std::wstring_view(name) != s->name) return TRUE;
            if (s->shownOnly && !IsWindowVisible(hwnd)) return TRUE;
            s->found = hwnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

ClientRun RunClient(const ClientOptions& options) {
    LiveClient client(options);
    ClientRun run;
    if (!client.started()) return run;
    run.pid = client.pid();

    // Watch its windows until it ends: anything it shows is seen here.
    Watch watch{client.pid(), AsciiLower(options.watchFolder), &run};
    const ULONGLONG deadline = GetTickCount64() + options.timeoutMs;
    while (GetTickCount64() < deadline) {
        EnumWindows(CollectVisible, reinterpret_cast<LPARAM>(&watch));
        const bool ended = client.WaitForExit(5);
        if (ended && !options.until) break;
        if (ended) {
            // What the client started goes on: watch until the test has seen enough.
            run.log = client.Log();
            if (options.until(run)) break;
            Sleep(50);
        }
    }
    run.ended = client.WaitForExit(0);
    run.exitCode = client.ExitCode();
    run.log = client.Log();
    return run;
}

Installation::Installation(std::string_view manifest, std::wstring_view signature) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    wchar_t full[MAX_PATH] = {};
    GetFullPathNameW(temp, MAX_PATH, full, nullptr);
    static int count = 0;
    folder_ = std::wstring(full) + L"Tessaly ŵ更新 " + std::to_wstring(GetCurrentProcessId()) +
              L"-" + std::to_wstring(++count);
    temp_ = folder_ + L"\\tmp\\";
    CreateDirectoryW(folder_.c_str(), nullptr);
    CreateDirectoryW(temp_.c_str(), nullptr);
    CopyFileW(ClientPath().c_str(), exe().c_str(), FALSE);
    const std::string ini =
        "[Addresses]\r\nManifest=" + WideToUtf8(test::SignedAddress(manifest, signature)) + "\r\n";
    win::UniqueHandle file(CreateFileW((folder_ + L"\\Tessaly.ini").c_str(), GENERIC_WRITE, 0,
                                       nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    WriteFile(file.get(), ini.data(), static_cast<DWORD>(ini.size()), &written, nullptr);
}

Installation::~Installation() {
    // The updater may still be on its way out: a few tries.
    for (int attempt = 0; attempt < 50 && !Remove(); ++attempt)
        Sleep(100);
}

ClientOptions Installation::Options(const wchar_t* answer, const wchar_t* starts) const {
    ClientOptions options;
    options.network = L"online";
    options.exe = exe();
    options.environment = {{L"TMP", temp_},
                           {L"TEMP", temp_},
                           {L"TESSALY_AUTOMATION_ANSWER", answer},
                           {L"TESSALY_AUTOMATION_START", starts}};
    options.watchFolder = folder_;
    // Should the login pair show, its page leaves at once.
    options.browserScript = L"on /client/\n complete 100\n navigate app://exitgame\n";
    return options;
}

bool Installation::Remove() const {
    // The whole tree: the updaters' own folders lie in the temporary folder.
    const std::wstring from = folder_ + L'\0'; // a list that ends in two NULs
    SHFILEOPSTRUCTW remove{};
    remove.wFunc = FO_DELETE;
    remove.pFrom = from.c_str();
    remove.fFlags = FOF_NO_UI;
    return SHFileOperationW(&remove) == 0;
}

} // namespace tessaly::e2e
