// Stands in for the updater the client carries as its UPDATE resource until
// the real one exists: it only appends its command line, as UTF-8, to
// Update.args.txt beside itself and ends, so tests can see how it was started.
//
// No C runtime: the program must stay small inside every client, so it runs
// from its own entry point on kernel32 alone.

#include <windows.h>

namespace {

constexpr DWORD kMaxPath = 32768;

// In slices: a stack frame of a page or more would need the C runtime's stack
// probe. A UTF-16 unit takes at most 3 bytes of UTF-8.
void AppendUtf8(HANDLE file, const wchar_t* text, int length) {
    constexpr int kSlice = 512;
    char buffer[kSlice * 3];
    for (int start = 0; start < length;) {
        int count = length - start < kSlice ? length - start : kSlice;
        // A surrogate pair stays together in one slice.
        if (count == kSlice && text[start + count - 1] >= 0xD800 &&
            text[start + count - 1] <= 0xDBFF)
            --count;
        const int bytes = WideCharToMultiByte(CP_UTF8, 0, text + start, count, buffer,
                                              sizeof buffer, nullptr, nullptr);
        DWORD written = 0;
        if (bytes > 0) WriteFile(file, buffer, static_cast<DWORD>(bytes), &written, nullptr);
        start += count;
    }
}

int Run() {
    HANDLE heap = GetProcessHeap();
    auto* path = static_cast<wchar_t*>(HeapAlloc(heap, 0, kMaxPath * sizeof(wchar_t)));
    if (!path) return 1;
    DWORD length = GetModuleFileNameW(nullptr, path, kMaxPath);
    if (length == 0 || length >= kMaxPath) return 1;
    while (length > 0 && path[length - 1] != L'\\' && path[length - 1] != L'/')
        --length;
    const wchar_t name[] = L"Update.args.txt";
    if (length + sizeof name / sizeof name[0] > kMaxPath) return 1;
    for (DWORD i = 0; i < sizeof name / sizeof name[0]; ++i)
        path[length + i] = name[i];

    HANDLE file = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    const wchar_t* commandLine = GetCommandLineW();
    AppendUtf8(file, commandLine, lstrlenW(commandLine));
    AppendUtf8(file, L"\r\n", 2);
    CloseHandle(file);
    return 0;
}

} // namespace

extern "C" void __stdcall UpdateEntry() {
    ExitProcess(static_cast<UINT>(Run()));
}
