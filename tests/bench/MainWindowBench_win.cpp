// The main window's costs with the platform's browser control, under Wine:
//   - the working set after opening five tabs, beside the same process before;
//   - CPU time and messages over 30 idle seconds with five tabs, the pointer
//     away (the goal is no timer wake-ups at all);
//   - the time from tessaly-open sending an address to the new tab being
//     selected and painted (tessaly-open's own start included, and not).
// Run by tests/bench/run_main_window_bench.sh, never by CTest.

#include <windows.h>

#include <ole2.h>
#include <psapi.h>

#include "app/WebBrowserEngine_win.h"
#include "app/WebMainFrm_win.h"
#include "shell/WindowsPlatform_win.h"
#include "base/Config.h"

#include <cstdio>
#include <functional>
#include <string>

using namespace tessaly;

namespace {

double Seconds(const FILETIME& t) {
    return (static_cast<double>(t.dwHighDateTime) * 4294967296.0 + t.dwLowDateTime) / 1e7;
}

double CpuSeconds() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    return Seconds(kernel) + Seconds(user);
}

// Pumps for the given time; the number of messages it dispatched.
long Pump(DWORD milliseconds) {
    long messages = 0;
    const ULONGLONG end = GetTickCount64() + milliseconds;
    for (ULONGLONG now; (now = GetTickCount64()) < end;) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ++messages;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return messages;
}

int PageCount(HWND container) {
    int count = 0;
    for (HWND child = GetWindow(container, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        ++count;
    return count;
}

HWND TopPage(HWND container) {
    HWND top = GetWindow(container, GW_CHILD);
    return top && IsWindowVisible(top) ? top : nullptr;
}

// Milliseconds from starting the command until `done` holds, or until it has
// ended when there is no `done`; negative when it cannot start.
double TimeRun(std::wstring commandLine, const std::function<bool()>& done) {
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                        nullptr, nullptr, &si, &pi))
        return -1;
    if (done) {
        while (!done())
            continue; // done pumps this thread's messages itself
    } else {
        WaitForSingleObject(pi.hProcess, INFINITE);
    }
    QueryPerformanceCounter(&end);
    WaitForSingleObject(pi.hProcess, INFINITE);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return (end.QuadPart - start.QuadPart) * 1000.0 / frequency.QuadPart;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        std::printf("usage: main_window_bench <tessaly-open.exe> <origin>\n");
        return 64;
    }
    std::setvbuf(stdout, nullptr, _IONBF, 0); // each figure as soon as it is measured
    OleInitialize(nullptr);
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
    std::printf("working set before the main window: %.1f MiB\n",
                memory.WorkingSetSize / 1048576.0);
    const std::wstring open = argv[1], origin = argv[2];
    Config config;
    win::WebMainFrm main({win::ProgramPlatform(), config, win::CreateWebBrowser, nullptr});
    for (int i = 1; i <= 5; ++i)
        main.SetURL(origin + L"/game/" + std::to_wstring(i % 2 + 1) + L".html?tab=" +
                    std::to_wstring(i));
    main.Show();
    Pump(5000);
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
    std::printf("working set with 5 tabs: %.1f MiB (peak %.1f MiB)\n",
                memory.WorkingSetSize / 1048576.0, memory.PeakWorkingSetSize / 1048576.0);

    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
    Pump(1000);
    const double cpu0 = CpuSeconds();
    const long messages = Pump(30000);
    std::printf("idle 30 s with 5 tabs: %.3f s CPU, %ld messages dispatched\n", CpuSeconds() - cpu0,
                messages);

    const HWND container = main.PageContainer();
    for (int round = 0; round < 3; ++round) {
        const int before = PageCount(container);
        // Until the new page is on top, shown, and has nothing left to paint.
        const double ms = TimeRun(L"\"" + open + L"\" --service main_window_bench " + origin +
                                      L"/game/1.html?sent=" + std::to_wstring(round),
                                  [&] {
                                      Pump(1);
                                      const HWND top = TopPage(container);
                                      return PageCount(container) > before && top &&
                                             !GetUpdateRect(top, nullptr, FALSE);
                                  });
        std::printf("tessaly-open to new tab painted: %.1f ms\n", ms);
    }
    // For comparison: tessaly-open starting and ending without sending anything.
    for (int round = 0; round < 3; ++round)
        std::printf("tessaly-open alone (start and exit): %.1f ms\n",
                    TimeRun(L"\"" + open + L"\"", nullptr));
    // Confirmed already: no exit question (loading the window resets it).
    main.m_bExit = true;
    main.Close();
    OleUninitialize();
    return 0;
}
