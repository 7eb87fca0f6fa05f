// Start to splash: the time from starting a program until its first window
// is visible, for the floor (startup_floor.exe, nothing but a 356 x 122 alpha
// window) and the client, started alternately so that both see the same
// machine. Each program is ended as soon as its window shows. Prints every
// round, then min, median and max of each and the client's ratio to the floor.
// Run by tools/bench/startup.sh, never by CTest.
//
//   startup_bench <rounds> <floor.exe> <client.exe>

#include <windows.h>

#include "base/Handles_win.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using tessaly::win::UniqueHandle;

HWND VisibleWindow(DWORD pid) {
    struct Search {
        DWORD pid;
        HWND found;
    } search{pid, nullptr};
    EnumWindows(
        [](HWND hwnd, LPARAM param) {
            auto* s = reinterpret_cast<Search*>(param);
            DWORD owner = 0;
            GetWindowThreadProcessId(hwnd, &owner);
            if (owner != s->pid || !IsWindowVisible(hwnd)) return TRUE;
            s->found = hwnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Milliseconds from CreateProcess until a window of the program is visible
// (negative: none showed); then closes that window, or ends the program when
// that does not end it.
double TimeToWindow(const std::wstring& exe) {
    std::wstring commandLine = L"\"" + exe + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    LARGE_INTEGER frequency, start, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &si, &pi))
        return -1;
    const UniqueHandle process(pi.hProcess), thread(pi.hThread);
    double ms = -1;
    // A poll every millisecond: finer than the differences measured, and it
    // leaves the second core to the program.
    HWND shown = nullptr;
    for (;;) {
        if ((shown = VisibleWindow(pi.dwProcessId))) {
            QueryPerformanceCounter(&now);
            ms = (now.QuadPart - start.QuadPart) * 1000.0 / frequency.QuadPart;
            break;
        }
        if (WaitForSingleObject(process.get(), 1) == WAIT_OBJECT_0) break;
        QueryPerformanceCounter(&now);
        if (now.QuadPart - start.QuadPart > 30 * frequency.QuadPart) break;
    }
    if (shown) PostMessageW(shown, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.get(), 2000) != WAIT_OBJECT_0) {
        // Only the process started here.
        TerminateProcess(process.get(), 0);
        WaitForSingleObject(process.get(), 10000);
    }
    return ms;
}

struct Spread {
    double min, median, max;
};

Spread SpreadOf(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    const double median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    return {values.front(), median, values.back()};
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const int rounds = argc == 4 ? _wtoi(argv[1]) : 0;
    if (rounds < 1) {
        std::printf("usage: startup_bench <rounds> <floor.exe> <client.exe>\n");
        return 64;
    }
    const std::wstring floor = argv[2], client = argv[3];
    // One round of each first, not counted: it reads the programs from disk.
    TimeToWindow(floor);
    TimeToWindow(client);
    // Machines that others share are noisy: the ratio of each round, whose
    // two starts saw about the same load, is the steadiest figure.
    std::vector<double> floorMs, clientMs, ratios;
    for (int round = 1; round <= rounds; ++round) {
        const double f = TimeToWindow(floor);
        Sleep(150); // the window leaves the display before the next starts
        const double c = TimeToWindow(client);
        Sleep(150);
        if (f < 0 || c < 0) {
            std::printf("round %d: a window never showed (floor %.1f, client %.1f)\n", round, f, c);
            return 1;
        }
        std::printf("round %2d: floor %6.1f ms  client %6.1f ms  ratio %.2f\n", round, f, c, c / f);
        floorMs.push_back(f);
        clientMs.push_back(c);
        ratios.push_back(c / f);
    }
    const auto print = [](const char* what, const Spread& s, const char* format) {
        std::printf("%-32s", what);
        for (const double value : {s.min, s.median, s.max})
            std::printf(format, value);
        std::printf("\n");
    };
    std::printf("%d rounds                           min  median     max\n", rounds);
    print("floor: start to window (ms)", SpreadOf(floorMs), " %7.1f");
    print("client: start to splash (ms)", SpreadOf(clientMs), " %7.1f");
    print("ratio client/floor, per round", SpreadOf(ratios), " %7.2f");
    return 0;
}
