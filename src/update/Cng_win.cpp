#include "update/Cng_win.h"

#include <algorithm>
#include <limits>

namespace tessaly::win {

UniqueAlgorithm OpenAlgorithm(const wchar_t* id) {
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    if (BCryptOpenAlgorithmProvider(&algorithm, id, nullptr, 0) != 0) return {};
    return UniqueAlgorithm(algorithm);
}

Sha256::Sha256()
    : algorithm_(OpenAlgorithm(BCRYPT_SHA256_ALGORITHM)) {
    BCRYPT_HASH_HANDLE hash = nullptr;
    // No object buffer: the provider keeps the hash's state itself.
    failed_ =
        !algorithm_ || BCryptCreateHash(algorithm_.get(), &hash, nullptr, 0, nullptr, 0, 0) != 0;
    hash_.reset(hash);
}

void Sha256::Add(std::span<const std::byte> bytes) {
    while (!failed_ && !bytes.empty()) {
        const auto piece = std::min<std::size_t>(bytes.size(), std::numeric_limits<ULONG>::max());
        // CNG reads the bytes, though its parameter is not const.
        auto* data = reinterpret_cast<PUCHAR>(const_cast<std::byte*>(bytes.data()));
        failed_ = BCryptHashData(hash_.get(), data, static_cast<ULONG>(piece), 0) != 0;
        bytes = bytes.subspan(piece);
    }
}

std::optional<Sha256Digest> Sha256::Finish() {
    Sha256Digest digest{};
    if (failed_ || BCryptFinishHash(hash_.get(), digest.data(), digest.size(), 0) != 0)
        return std::nullopt;
    failed_ = true; // a finished hash takes no more data
    return digest;
}

std::optional<Sha256Digest> Sha256Of(std::span<const std::byte> bytes) {
    Sha256 hash;
    hash.Add(bytes);
    return hash.Finish();
}

} // namespace tessaly::win
