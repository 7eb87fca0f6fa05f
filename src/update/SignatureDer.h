#pragma once
// The maker signs the manifest with `openssl dgst -sha256 -sign`, which writes
// an ECDSA signature in DER: SEQUENCE { INTEGER r, INTEGER s }. CNG verifies the
// raw form instead: r and s as 32 big-endian bytes each.
//
// Only the one strict encoding of a P-256 signature is read. Another encoding
// of the same numbers (long-form or padded lengths, extra zero bytes), bytes
// after the sequence, negative numbers, and numbers that are zero or not
// below the group's order are no signature: a signature file has exactly one
// meaning, and nothing travels beside it unchecked.

#include <array>
#include <cstddef>
#include <optional>
#include <span>

namespace tessaly {

using RawSignature = std::array<std::byte, 64>; // r, then s
// The longest strict DER form: both numbers 33 bytes, with their headers.
inline constexpr std::size_t kMaxSignatureBytes = 72;

std::optional<RawSignature> RawSignatureFromDer(std::span<const std::byte> der);

} // namespace tessaly
