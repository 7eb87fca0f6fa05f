#pragma once
// The local HTTP server the test fixture started (tools/test_http_server.py):
// its address, read from the port file named by TESSALY_TEST_HTTP_PORT_FILE.

#include <windows.h>

#include "base/Handles_win.h"

#include <cstdlib>
#include <string>
#include <string_view>

namespace tessaly::test {

// "http://127.0.0.1:<port>/"
inline std::wstring TestServer() {
    wchar_t portFile[MAX_PATH] = {};
    GetEnvironmentVariableW(L"TESSALY_TEST_HTTP_PORT_FILE", portFile, MAX_PATH);
    win::UniqueHandle file(
        CreateFileW(portFile, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    char text[16] = {};
    DWORD read = 0;
    if (file) ReadFile(file.get(), text, sizeof text - 1, &read, nullptr);
    return L"http://127.0.0.1:" + std::to_wstring(std::atoi(text)) + L"/";
}

// The server's /text route, answering exactly these bytes.
inline std::wstring TextAddress(std::string_view body) {
    std::wstring address = TestServer() + L"text?body=";
    constexpr wchar_t kHex[] = L"0123456789ABCDEF";
    for (const char c : body) {
        const auto byte = static_cast<unsigned char>(c);
        address += L'%';
        address += kHex[byte >> 4];
        address += kHex[byte & 15];
    }
    return address;
}

} // namespace tessaly::test
