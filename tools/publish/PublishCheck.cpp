// Reads what tools/publish.sh wrote the way the client and the updater will,
// and fails when they would not take it as the maker meant it:
//   tessaly-publish-check MANIFEST CLIENT_NAME [SIGNATURE]
// Exits 0 when all is well, 1 with the reason on stderr otherwise.

#include "base/Text.h"
#include "update/Manifest.h"
#include "update/SignatureDer.h"
#include "update/VersionOrder.h"

#include <algorithm>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <span>
#include <string>

using namespace tessaly;

namespace {

std::optional<std::string> ReadBytes(const char* path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(file), {});
}

int Refuse(const std::wstring& reason) {
    std::cerr << "publish: " << WideToUtf8(reason) << "\n";
    return 1;
}

// The client reads the manifest in the player's code page: only printable
// ASCII and line ends read the same everywhere.
bool PlainAscii(const std::string& bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return (c >= 0x20 && c < 0x7F) || c == '\r' || c == '\n'; });
}

int Check(const std::string& bytes, const std::wstring& client) {
    if (!PlainAscii(bytes)) return Refuse(L"the manifest holds more than printable ASCII");
    const std::wstring text = Utf8ToWide(bytes);
    const Manifest list = ParseManifest(text);
    if (!list.version || !IsVersionText(*list.version))
        return Refuse(L"the version is not dotted numbers (at most three, none above 65535)");
    if (!list.refused.empty())
        return Refuse(L"the updater would refuse \"" + list.refused[0].line + L"\": " +
                      list.refused[0].reason);
    for (const ManifestFile& file : list.files) {
        if (file.sha256.empty()) return Refuse(L"no SHA-256 for " + file.localName);
    }
    if (list.files.empty() || list.files.back().localName != client)
        return Refuse(L"the last file is not " + client);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4) {
        std::cerr << "usage: tessaly-publish-check MANIFEST CLIENT_NAME [SIGNATURE]\n";
        return 2;
    }
    const std::optional<std::string> manifest = ReadBytes(argv[1]);
    if (!manifest) return Refuse(L"cannot read " + Utf8ToWide(argv[1]));
    if (const int refused = Check(*manifest, Utf8ToWide(argv[2]))) return refused;
    if (argc == 4) {
        const std::optional<std::string> signature = ReadBytes(argv[3]);
        if (!signature || !RawSignatureFromDer(std::as_bytes(std::span(*signature))))
            return Refuse(L"the client would not read the signature " + Utf8ToWide(argv[3]));
    }
    return 0;
}
