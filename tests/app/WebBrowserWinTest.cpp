#include <windows.h>
#include <ole2.h>

#include "app/WebBrowserEngine_win.h"
#include "base/Form_win.h"
#include "base/Handles_win.h"
#include "base/PictureBox_win.h"
#include "base/Text.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace tessaly;
using namespace tessaly::win;

namespace {

// The local server's port file; its request log lies beside it.
std::wstring PortFile() {
    wchar_t buffer[MAX_PATH] = {};
    GetEnvironmentVariableW(L"TESSALY_TEST_HTTP_PORT_FILE", buffer, MAX_PATH);
    return buffer;
}

std::string ReadFileBytes(const std::wstring& path) {
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    if (!file) return {};
    std::string bytes(GetFileSize(file.get(), nullptr), '\0');
    DWORD read = 0;
    ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    bytes.resize(read);
    return bytes;
}

bool PumpUntil(const std::function<bool()>& done, DWORD milliseconds) {
    const ULONGLONG deadline = GetTickCount64() + milliseconds;
    MSG msg;
    while (!done() && GetTickCount64() < deadline) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(10);
    }
    return done();
}

class Host : public Form {
public:
    Host() : Form(Design()) {}
    ~Host() override { Destroy(); }

private:
    static FormDesign Design() {
        FormDesign design;
        design.className = L"TessalyBrowserTestHost";
        design.clientWidthTwips = 9000;
        design.clientHeightTwips = 6000;
        return design;
    }
};

} // namespace

TEST(WebBrowserControl, CancelsAppCommandsAndLetsWebAddressesReachTheServer) {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    const std::wstring portFile = PortFile();
    ASSERT_FALSE(portFile.empty()) << "the local HTTP server fixture is not running";
    const std::string port = ReadFileBytes(portFile);
    ASSERT_FALSE(port.empty());
    {
        Host host;
        host.Show();
        PictureBox container(RGB(254, 254, 254));
        container.CreatePixels(host.hwnd(), 10, 10, 400, 300);
        auto browser = CreateWebBrowser(container.hwnd());
        ASSERT_NE(browser, nullptr);
        browser->Place(-1, -1, 419, 319);

        std::vector<std::pair<std::wstring, bool>> before; // address, cancelled
        int downloads = 0, errors = 0, completions = 0;
        browser->BeforeNavigate2.Connect([&](const std::wstring& url, bool& cancel) {
            cancel = url.find(L"app://") != std::wstring::npos;
            before.emplace_back(url, cancel);
        });
        browser->DownloadBegin.Connect([&] { ++downloads; });
        browser->NavigateError.Connect([&](const std::wstring&, bool) { ++errors; });
        browser->DocumentComplete.Connect([&](const std::wstring&) { ++completions; });

        browser->Navigate(L"app://minimize");
        ASSERT_TRUE(PumpUntil([&] { return !before.empty(); }, 5000));
        EXPECT_EQ(before[0], std::make_pair(std::wstring(L"app://minimize"), true));
        PumpUntil([] { return false; }, 300);
        EXPECT_EQ(downloads + errors + completions, 0) << "a cancelled command went on loading";

        const std::string token = "browser-test-" + std::to_string(GetTickCount64());
        const std::wstring page = L"http://127.0.0.1:" + Utf8ToWide(std::string(TrimSpaces(std::string_view(port)))) +
                                  L"/client/?" + Utf8ToWide(token);
        browser->Navigate(page);
        std::wstring logPath = portFile.substr(0, portFile.find_last_of(L"\\/") + 1) + L"log";
        const bool reached =
            PumpUntil([&] { return ReadFileBytes(logPath).find(token) != std::string::npos; }, 10000);
        EXPECT_TRUE(reached) << "the request never reached the server";
        ASSERT_GE(before.size(), 2u);
        EXPECT_EQ(before[1], std::make_pair(page, false));
        browser.reset(); // the control goes before its container
    }
    OleUninitialize();
}
