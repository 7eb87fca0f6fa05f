#include "update/ManifestSignature_win.h"

#include "update/Cng_win.h"
#include "update/SignatureDer.h"
#include "update/UpdateKeys.h"

namespace tessaly::win {
namespace {

using PublicKey = std::array<unsigned char, 64>; // X, then Y of a P-256 point, big-endian

bool Verifies(const UniqueAlgorithm& ecdsa, const PublicKey& key, Sha256Digest digest,
              RawSignature signature) {
    struct {
        BCRYPT_ECCKEY_BLOB header;
        PublicKey point;
    } blob{{BCRYPT_ECDSA_PUBLIC_P256_MAGIC, 32}, key};
    static_assert(sizeof blob == sizeof(BCRYPT_ECCKEY_BLOB) + sizeof(PublicKey));
    BCRYPT_KEY_HANDLE imported = nullptr;
    if (BCryptImportKeyPair(ecdsa.get(), nullptr, BCRYPT_ECCPUBLIC_BLOB, &imported,
                            reinterpret_cast<PUCHAR>(&blob), sizeof blob, 0) != 0)
        return false;
    const UniqueKey owned(imported);
    return BCryptVerifySignature(owned.get(), nullptr, digest.data(), digest.size(),
                                 reinterpret_cast<PUCHAR>(signature.data()), signature.size(),
                                 0) == 0;
}

} // namespace

std::wstring ManifestSignatureProblem(std::span<const std::byte> manifest,
                                      std::span<const std::byte> signature) {
    const std::optional<RawSignature> raw = RawSignatureFromDer(signature);
    if (!raw) return L"the signature is not an ECDSA P-256 signature in DER form";
    const std::optional<Sha256Digest> digest = Sha256Of(manifest);
    const UniqueAlgorithm ecdsa = OpenAlgorithm(BCRYPT_ECDSA_P256_ALGORITHM);
    if (!digest || !ecdsa) return L"the system cannot check ECDSA P-256 signatures";
    for (const PublicKey& key : generated::kUpdateKeys) {
        if (Verifies(ecdsa, key, *digest, *raw)) return {};
    }
    return L"none of the update keys accepts the signature";
}

std::wstring ManifestSignatureProblem(std::string_view manifest, std::string_view signature) {
    return ManifestSignatureProblem(std::as_bytes(std::span(manifest)),
                                    std::as_bytes(std::span(signature)));
}

} // namespace tessaly::win
