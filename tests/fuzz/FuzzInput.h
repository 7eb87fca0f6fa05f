#pragma once
// What every harness does with libFuzzer's bytes: reads them as UTF-8 text,
// so the seed corpora stay readable, and turns a broken promise of the code
// under test into a crash that libFuzzer keeps as a finding.

#include "base/Text.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace tessaly::fuzz {

inline std::wstring TextOf(const std::uint8_t* data, std::size_t size) {
    return Utf8ToWide(std::string_view(reinterpret_cast<const char*>(data), size));
}

inline void Require(bool condition, const char* promise) {
    if (condition) return;
    std::fprintf(stderr, "broken promise: %s\n", promise);
    std::abort();
}

inline bool HasControlCharacter(std::wstring_view text) {
    for (const wchar_t c : text) {
        if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) return true;
    }
    return false;
}

} // namespace tessaly::fuzz
