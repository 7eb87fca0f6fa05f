// The signature file comes from the manifest's server. Its reading takes one
// encoding of a signature only: whatever it accepts is the DER of its numbers.

#include "FuzzInput.h"

#include "update/SignatureDer.h"

#include <algorithm>
#include <vector>

using namespace tessaly;

static void AppendInteger(std::vector<std::byte>& der, std::span<const std::byte> number) {
    while (number.size() > 1 && number[0] == std::byte{0})
        number = number.subspan(1);
    const bool signByte = (number[0] & std::byte{0x80}) != std::byte{0};
    der.insert(der.end(), {std::byte{0x02}, std::byte(number.size() + signByte)});
    if (signByte) der.push_back(std::byte{0});
    der.insert(der.end(), number.begin(), number.end());
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto input = std::as_bytes(std::span(data, size));
    const auto raw = RawSignatureFromDer(input);
    if (!raw) return 0;
    std::vector<std::byte> der{std::byte{0x30}, std::byte{0}};
    AppendInteger(der, std::span(*raw).first<32>());
    AppendInteger(der, std::span(*raw).last<32>());
    der[1] = std::byte(der.size() - 2);
    fuzz::Require(std::equal(der.begin(), der.end(), input.begin(), input.end()),
                  "an accepted signature is the DER of its numbers");
    return 0;
}
