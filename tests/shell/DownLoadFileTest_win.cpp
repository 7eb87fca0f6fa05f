#include <winsock2.h>
#include <windows.h>

#include "base/Handles_win.h"
#include "base/Text.h"
#include "shell/DownLoadFile_win.h"
#include "shell/TestServer_win.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace tessaly;
using namespace tessaly::win;

namespace {

// A port nothing listens on: one the system just handed out and took back.
int ClosedPort() {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int size = sizeof address;
    bind(s, reinterpret_cast<sockaddr*>(&address), size);
    getsockname(s, reinterpret_cast<sockaddr*>(&address), &size);
    closesocket(s);
    WSACleanup();
    return ntohs(address.sin_port);
}

std::string Pattern(std::size_t size) {
    std::string body(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        body[i] = static_cast<char>(i % 251);
    return body;
}

// A fresh folder per test; whatever is left in it goes at the end.
class Folder {
public:
    Folder() {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        static int count = 0;
        path_ = std::wstring(temp) + L"tessaly_dl_" + std::to_wstring(GetCurrentProcessId()) +
                L"_" + std::to_wstring(++count) + L"\\";
        CreateDirectoryW(path_.c_str(), nullptr);
    }
    ~Folder() {
        for (const std::wstring& name : Names()) {
            SetFileAttributesW((path_ + name).c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW((path_ + name).c_str());
        }
        RemoveDirectoryW(path_.c_str());
    }
    std::wstring operator/(const wchar_t* name) const { return path_ + name; }
    std::vector<std::wstring> Names() const {
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW((path_ + L"*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) return names;
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                names.emplace_back(found.cFileName);
        } while (FindNextFileW(search, &found));
        FindClose(search);
        return names;
    }

private:
    std::wstring path_;
};

void WriteFileBytes(const std::wstring& path, const std::string& bytes, DWORD attributes) {
    UniqueHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr));
    DWORD written = 0;
    WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

std::string ReadFileBytes(const std::wstring& path) {
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    if (!file) return "<missing>";
    std::string bytes(GetFileSize(file.get(), nullptr), '\0');
    DWORD read = 0;
    ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    return bytes;
}

bool IsHidden(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_HIDDEN);
}

constexpr DownloadLimits kLimits{8, 120, 0};

constexpr UINT kPing = WM_APP + 1;
int pings = 0;
LRESULT CALLBACK CountPings(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kPing) ++pings;
    return DefWindowProcW(window, message, wParam, lParam);
}

struct Recorder {
    std::uint64_t total = 0;
    std::uint64_t received = 0;
    int loadings = 0;
    int completes = 0;
    explicit Recorder(QelDownLoadFile& downloader) {
        downloader.QueryFileInfo.Connect([this](std::uint64_t t) { total = t; });
        downloader.Loading.Connect([this](std::uint64_t r) {
            received = r;
            ++loadings;
        });
        downloader.Complete.Connect([this] { ++completes; });
    }
};

} // namespace

TEST(DownLoadFileWin, DownloadsTheWholeBodyIntoTheTarget) {
    Folder folder;
    QelDownLoadFile downloader = MakeDownLoadFile(kLimits);
    Recorder events(downloader);
    const std::wstring target = folder / L"data.bin";
    ASSERT_TRUE(downloader.DownLoadFile(test::TestServer() + L"bytes/100000", target, false, true));
    EXPECT_EQ(ReadFileBytes(target), Pattern(100000));
    EXPECT_FALSE(IsHidden(target));
    EXPECT_EQ(events.total, 100000u);
    EXPECT_EQ(events.received, 100000u);
    EXPECT_GE(events.loadings, 13); // pieces of at most 8192 bytes
    EXPECT_EQ(events.completes, 1);
    EXPECT_EQ(folder.Names(), std::vector<std::wstring>{L"data.bin"});
}

TEST(DownLoadFileWin, ReplacesAnExistingFileHiddenOrNotAsAsked) {
    Folder folder;
    QelDownLoadFile downloader = MakeDownLoadFile(kLimits);
    const std::wstring target = folder / L"update.txt";
    WriteFileBytes(target, std::string(50000, 'x'), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);

    ASSERT_TRUE(downloader.DownLoadFile(test::TextAddress("version=1.2.0"), target, true, false));
    EXPECT_EQ(ReadFileBytes(target), "version=1.2.0");
    EXPECT_TRUE(IsHidden(target));

    ASSERT_TRUE(downloader.DownLoadFile(test::TestServer() + L"bytes/10", target, false, false));
    EXPECT_EQ(ReadFileBytes(target), Pattern(10));
    EXPECT_FALSE(IsHidden(target));

    ASSERT_TRUE(downloader.DownLoadFile(test::TestServer() + L"bytes/20", target, true, false));
    EXPECT_EQ(ReadFileBytes(target), Pattern(20));
    EXPECT_TRUE(IsHidden(target));
    EXPECT_EQ(folder.Names(), std::vector<std::wstring>{L"update.txt"});
}

TEST(DownLoadFileWin, RefusedAnswersLeaveNoFile) {
    Folder folder;
    QelDownLoadFile downloader = MakeDownLoadFile(kLimits);
    Recorder events(downloader);
    const std::wstring closed = L"http://127.0.0.1:" + std::to_wstring(ClosedPort()) + L"/bytes/10";
    for (const std::wstring& url :
         {test::TestServer() + L"status/404", test::TestServer() + L"status/500",
          test::TestServer() + L"nolength/1000", closed}) {
        EXPECT_FALSE(downloader.DownLoadFile(url, folder / L"x.bin", true, true)) << url;
    }
    EXPECT_EQ(events.completes, 4);
    EXPECT_EQ(events.loadings, 0);
    EXPECT_TRUE(folder.Names().empty());
}

TEST(DownLoadFileWin, ABodyCutShortKeepsTheEarlierFile) {
    Folder folder;
    QelDownLoadFile downloader = MakeDownLoadFile(kLimits);
    Recorder events(downloader);
    const std::wstring target = folder / L"data.bin";
    WriteFileBytes(target, "earlier", FILE_ATTRIBUTE_HIDDEN);
    EXPECT_FALSE(downloader.DownLoadFile(test::TestServer() + L"truncated/30000?announce=60000",
                                         target, true, true));
    EXPECT_EQ(ReadFileBytes(target), "earlier");
    EXPECT_EQ(events.completes, 1);
    // A length past 4 GiB arrives whole.
    EXPECT_FALSE(downloader.DownLoadFile(test::TestServer() + L"truncated/100?announce=5368709120",
                                         target, true, true));
    EXPECT_EQ(events.total, 5368709120u);
    EXPECT_EQ(ReadFileBytes(target), "earlier");
    EXPECT_EQ(folder.Names(), std::vector<std::wstring>{L"data.bin"});
}

TEST(DownLoadFileWin, ASilentServerTimesOut) {
    Folder folder;
    QelDownLoadFile downloader = MakeDownLoadFile({1, 120, 0});
    // The head comes after 3 s; the body stalls 3 s between its halves.
    EXPECT_FALSE(downloader.DownLoadFile(test::TestServer() + L"late/10?seconds=3", folder / L"a",
                                         false, false));
    EXPECT_FALSE(downloader.DownLoadFile(test::TestServer() + L"slow/20000?chunks=2&delay_ms=3000",
                                         folder / L"b", false, false));
    EXPECT_TRUE(folder.Names().empty());
}

TEST(DownLoadFileWin, StopsBetweenPiecesAndWhenTheProgramQuits) {
    Folder folder;
    QelDownLoadFile downloader = MakeDownLoadFile(kLimits);
    const std::wstring target = folder / L"data.bin";
    WriteFileBytes(target, "earlier", FILE_ATTRIBUTE_NORMAL);
    int loadings = 0;
    downloader.Loading.Connect([&](std::uint64_t) {
        ++loadings;
        downloader.StopDownLoad();
    });
    EXPECT_TRUE(downloader.DownLoadFile(test::TestServer() + L"bytes/100000", target, false, true));
    EXPECT_EQ(loadings, 1);
    EXPECT_EQ(ReadFileBytes(target), "earlier");

    // Messages posted before the download are dispatched during it; a WM_QUIT
    // among them stops it and stays for the message loop. A new downloader,
    // whose first piece is sure to pump (later ones pump at most every 10 ms).
    QelDownLoadFile quitting = MakeDownLoadFile(kLimits);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = CountPings;
    windowClass.lpszClassName = L"TessalyPingCounter";
    RegisterClassW(&windowClass);
    const HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0,
                                        HWND_MESSAGE, nullptr, nullptr, nullptr);
    PostMessageW(window, kPing, 0, 0);
    PostQuitMessage(7);
    EXPECT_TRUE(quitting.DownLoadFile(test::TestServer() + L"bytes/100000", target, false, false));
    EXPECT_EQ(ReadFileBytes(target), "earlier");
    EXPECT_EQ(pings, 1);
    MSG quit;
    ASSERT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, 7u);
    DestroyWindow(window);
    EXPECT_EQ(folder.Names(), std::vector<std::wstring>{L"data.bin"});
}

TEST(DownLoadFileWin, HostileServersEndWithinTheDeadlineWithNothingWritten) {
    Folder folder;
    // Per-wait time-outs longer than the whole: only the deadline can end these.
    QelDownLoadFile downloader = MakeDownLoadFile({8, 2, 0});
    const std::wstring server = test::TestServer();
    const std::wstring port = server.substr(server.rfind(L':'));
    const std::wstring unique = std::to_wstring(GetTickCount64());
    for (const std::wstring& url : {
             server + L"endless?announce=1", // chunked without end, 1 byte announced
             server + L"trickle?announce=1000&delay_ms=400", // a byte every 400 ms
             server + L"late/10?seconds=5",                  // no head for 5 s
             server + L"slow/20000?chunks=2&delay_ms=5000",  // silent for 5 s within the body
             server + L"loop/0",                             // a redirect loop
             server + L"redirect/302?to=http://localhost" + port + L"/bytes/10%3Fu" + unique,
         }) {
        EXPECT_FALSE(downloader.DownLoadFile(url, folder / L"x.bin", false, false)) << url;
        EXPECT_TRUE(folder.Names().empty()) << url;
    }
    const std::string log = test::TestServerLog();
    EXPECT_EQ(log.find("GET /loop/6 "), std::string::npos); // the first and five redirects
    EXPECT_EQ(log.find("?u" + WideToUtf8(unique)), std::string::npos); // never asked for

    // A relative redirect on the same host is followed.
    ASSERT_TRUE(downloader.DownLoadFile(server + L"redirect/307?to=/bytes/100", folder / L"x.bin",
                                        false, false));
    EXPECT_EQ(ReadFileBytes(folder / L"x.bin"), Pattern(100));
}

TEST(DownLoadFileWin, DownloadBytesKeepsAWholeSmallBodyInMemory) {
    const DownloadLimits manifest = ManifestLimits(Config{});
    EXPECT_EQ(DownloadBytes(test::TestServer() + L"bytes/65536", manifest), Pattern(65536));
    for (const std::wstring& url :
         {test::TestServer() + L"bytes/65537", test::TestServer() + L"status/404",
          test::TestServer() + L"truncated/100?announce=200"})
        EXPECT_EQ(DownloadBytes(url, manifest), std::nullopt) << url;
}
