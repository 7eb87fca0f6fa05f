#pragma once
// Owners of the platform's cryptography (CNG) handles, and SHA-256 through it.

#include <windows.h>
#include <bcrypt.h>

#include "base/UniqueResource.h"

#include <array>
#include <cstddef>
#include <optional>
#include <span>

namespace tessaly::win {

template <class T, void (*Free)(T)> struct CngTraits {
    using Type = T;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type h) { return h != nullptr; }
    static void Release(Type h) { Free(h); }
};

inline void CloseAlgorithm(BCRYPT_ALG_HANDLE h) {
    BCryptCloseAlgorithmProvider(h, 0);
}
inline void DestroyHash(BCRYPT_HASH_HANDLE h) {
    BCryptDestroyHash(h);
}
inline void DestroyKey(BCRYPT_KEY_HANDLE h) {
    BCryptDestroyKey(h);
}

using UniqueAlgorithm = UniqueResource<CngTraits<BCRYPT_ALG_HANDLE, CloseAlgorithm>>;
using UniqueHash = UniqueResource<CngTraits<BCRYPT_HASH_HANDLE, DestroyHash>>;
using UniqueKey = UniqueResource<CngTraits<BCRYPT_KEY_HANDLE, DestroyKey>>;

// Empty when the system does not provide the algorithm.
UniqueAlgorithm OpenAlgorithm(const wchar_t* id);

using Sha256Digest = std::array<unsigned char, 32>;

// SHA-256 of bytes that arrive in pieces. A failure anywhere makes Finish
// answer nothing.
class Sha256 {
public:
    Sha256();
    void Add(std::span<const std::byte> bytes);
    std::optional<Sha256Digest> Finish();

private:
    UniqueAlgorithm algorithm_;
    UniqueHash hash_;
    bool failed_ = false;
};

std::optional<Sha256Digest> Sha256Of(std::span<const std::byte> bytes);

} // namespace tessaly::win
