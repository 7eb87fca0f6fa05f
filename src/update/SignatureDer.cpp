#include "update/SignatureDer.h"

#include <algorithm>

namespace tessaly {
namespace {

constexpr std::byte kSequence{0x30};
constexpr std::byte kInteger{0x02};
constexpr std::size_t kNumberSize = 32;

// The order n of the P-256 group: r and s lie in 1 .. n-1.
constexpr std::array<std::byte, kNumberSize> kOrder = [] {
    constexpr unsigned char n[kNumberSize] = {0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00,
                                              0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                              0xBC, 0xE6, 0xFA, 0xAD, 0xA7, 0x17, 0x9E, 0x84,
                                              0xF3, 0xB9, 0xCA, 0xC2, 0xFC, 0x63, 0x25, 0x51};
    std::array<std::byte, kNumberSize> order{};
    for (std::size_t i = 0; i < kNumberSize; ++i)
        order[i] = std::byte{n[i]};
    return order;
}();

bool HighBitSet(std::byte b) {
    return (b & std::byte{0x80}) != std::byte{0};
}

// Reads the INTEGER at the front of `der` into `out`, left-padded, and drops
// it from `der`. Zero needs no check of its own: its only encoding, a single
// zero byte, is a zero byte that no high bit asked for.
bool ReadNumber(std::span<const std::byte>& der, std::span<std::byte, kNumberSize> out) {
    // A length of 0x80 or more would be long-form, which 33 bytes never need.
    if (der.size() < 2 || der[0] != kInteger) return false;
    const auto length = std::to_integer<std::size_t>(der[1]);
    if (length == 0 || length > kNumberSize + 1 || der.size() - 2 < length) return false;
    std::span<const std::byte> value = der.subspan(2, length);
    der = der.subspan(2 + length);
    if (HighBitSet(value[0])) return false; // negative
    if (value[0] == std::byte{0}) {
        if (value.size() == 1 || !HighBitSet(value[1])) return false;
        value = value.subspan(1);
    }
    if (value.size() > kNumberSize) return false;
    std::fill(out.begin(), out.end(), std::byte{0});
    std::copy(value.begin(), value.end(), out.end() - value.size());
    return std::lexicographical_compare(out.begin(), out.end(), kOrder.begin(), kOrder.end());
}

} // namespace

std::optional<RawSignature> RawSignatureFromDer(std::span<const std::byte> der) {
    // The length byte must cover exactly the rest. Read as a short-form length,
    // a long form's first byte (0x80 and up) would claim more than two numbers
    // ever take, so it is refused below like bytes after the sequence.
    if (der.size() < 2 || der[0] != kSequence ||
        std::to_integer<std::size_t>(der[1]) != der.size() - 2)
        return std::nullopt;
    der = der.subspan(2);
    RawSignature raw{};
    const std::span<std::byte, 64> both(raw);
    if (!ReadNumber(der, both.first<kNumberSize>()) || !ReadNumber(der, both.last<kNumberSize>()) ||
        !der.empty())
        return std::nullopt;
    return raw;
}

} // namespace tessaly
