#pragma once
// Whether a manifest is the maker's: an ECDSA P-256 signature with SHA-256
// over its exact bytes (update.txt.sig, in the DER form openssl writes) that
// one of the public keys built into the program accepts. The keys are fixed
// when the program is built (cmake/UpdateKeys.cmake): nothing it reads at run
// time can add or change one.

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace tessaly::win {

// Why the signature does not prove the manifest's bytes, or empty when one of
// the built-in keys accepts it.
std::wstring ManifestSignatureProblem(std::span<const std::byte> manifest,
                                      std::span<const std::byte> signature);
// The same for bytes as they are read or downloaded.
std::wstring ManifestSignatureProblem(std::string_view manifest, std::string_view signature);

} // namespace tessaly::win
