// The download benchmark's Windows half (tools/bench_download.sh runs it):
// copies one address into a file, either with the client's downloader or with
// a bare WinINet loop of the same piece size, and prints the bytes and seconds.
//
//   download_bench ours|bare <url> <file>

#include <windows.h>
#include <wininet.h>

#include "shell/DownLoadFile_win.h"
#include "shell/InternetHandle_win.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

using namespace tessaly;

namespace {

// What a programmer would write with nothing around it: no status, length or
// temporary file, just read and write.
std::uint64_t BareLoop(const std::wstring& url, const std::wstring& file) {
    win::UniqueInternet session(
        InternetOpenW(nullptr, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    win::UniqueInternet request(
        InternetOpenUrlW(session.get(), url.c_str(), nullptr, 0,
                         INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0));
    win::UniqueHandle out(CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!request || !out) return 0;
    std::vector<char> buffer(QelDownLoadFile::kPieceSize);
    std::uint64_t total = 0;
    DWORD read = 0;
    while (
        InternetReadFile(request.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &read) &&
        read > 0) {
        DWORD written = 0;
        WriteFile(out.get(), buffer.data(), read, &written, nullptr);
        total += read;
    }
    return total;
}

std::uint64_t Ours(const std::wstring& url, const std::wstring& file) {
    QelDownLoadFile downloader = win::MakeDownLoadFile(DownloadLimits{30, 3600, 0});
    std::uint64_t total = 0;
    // Events on, as the client's progress display would have them.
    downloader.Loading.Connect([&](std::uint64_t received) { total = received; });
    return downloader.DownLoadFile(url, file, false, true) ? total : 0;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: download_bench ours|bare <url> <file>\n");
        return 2;
    }
    const std::wstring mode = argv[1];
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    const std::uint64_t bytes =
        mode == L"bare" ? BareLoop(argv[2], argv[3]) : Ours(argv[2], argv[3]);
    QueryPerformanceCounter(&end);
    if (bytes == 0) {
        std::fprintf(stderr, "download_bench: the download failed\n");
        return 1;
    }
    const double seconds = static_cast<double>(end.QuadPart - start.QuadPart) /
                           static_cast<double>(frequency.QuadPart);
    std::printf("%llu %.6f\n", static_cast<unsigned long long>(bytes), seconds);
    return 0;
}
