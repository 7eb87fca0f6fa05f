#pragma once
// The local HTTP server the test fixture started (tools/test_http_server.py):
// its address, read from the port file named by TESSALY_TEST_HTTP_PORT_FILE.

#include <windows.h>

#include "base/Handles_win.h"

#include <cstdlib>
#include <string>
#include <string_view>

namespace tessaly::test {

inline std::string ReadWholeFile(const std::wstring& path) {
    win::UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                       0, nullptr));
    if (!file) return {};
    std::string bytes(GetFileSize(file.get(), nullptr), '\0');
    DWORD read = 0;
    ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    bytes.resize(read);
    return bytes;
}

inline std::wstring PortFile() {
    wchar_t portFile[MAX_PATH] = {};
    GetEnvironmentVariableW(L"TESSALY_TEST_HTTP_PORT_FILE", portFile, MAX_PATH);
    return portFile;
}

// "http://127.0.0.1:<port>/"
inline std::wstring TestServer() {
    return L"http://127.0.0.1:" + std::to_wstring(std::atoi(ReadWholeFile(PortFile()).c_str())) +
           L"/";
}

// The requests the server has logged so far (it logs them when started with --verbose).
inline std::string TestServerLog() {
    const std::wstring port = PortFile();
    return ReadWholeFile(port.substr(0, port.find_last_of(L"\\/") + 1) + L"log");
}

inline std::wstring PercentEncoded(std::string_view bytes) {
    std::wstring text;
    constexpr wchar_t kHex[] = L"0123456789ABCDEF";
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        text += L'%';
        text += kHex[byte >> 4];
        text += kHex[byte & 15];
    }
    return text;
}

// The server's /text route, answering exactly these bytes.
inline std::wstring TextAddress(std::string_view body) {
    return TestServer() + L"text?body=" + PercentEncoded(body);
}

// The server's /signed route: these bytes, and at the address plus ".sig" a
// signature as `mode` says (good, other, tampered, another, empty, none).
inline std::wstring SignedAddress(std::string_view body, std::wstring_view mode = L"good") {
    return TestServer() + L"signed?body=" + PercentEncoded(body) + L"&sig=" + std::wstring(mode);
}

} // namespace tessaly::test
