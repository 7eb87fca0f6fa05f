#include "base/Inflate.h"

#include <algorithm>
#include <array>

namespace tessaly {
namespace {

constexpr int kMaxBits = 15;
constexpr int kLiteralCodes = 288;
constexpr int kDistanceCodes = 30;

constexpr std::uint16_t kLengthBase[] = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                         15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                         67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::uint8_t kLengthExtra[] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                         2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::uint16_t kDistanceBase[] = {
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::uint8_t kDistanceExtra[] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                           6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

class Bits {
public:
    explicit Bits(std::span<const std::uint8_t> in)
        : next_(in.data())
        , end_(in.data() + in.size()) {}

    // The next `count` bits, least significant first; -1 past the end.
    int Take(int count) {
        while (held_ < count) {
            if (next_ == end_) return -1;
            buffer_ |= static_cast<std::uint32_t>(*next_++) << held_;
            held_ += 8;
        }
        const int value = static_cast<int>(buffer_ & ((1u << count) - 1));
        buffer_ >>= count;
        held_ -= count;
        return value;
    }
    // Drops the rest of the current byte; fewer than 8 bits are ever held.
    void Align() { buffer_ = 0, held_ = 0; }
    bool TakeBytes(std::size_t count, const std::uint8_t*& bytes) {
        if (static_cast<std::size_t>(end_ - next_) < count) return false;
        bytes = next_;
        next_ += count;
        return true;
    }

private:
    const std::uint8_t* next_;
    const std::uint8_t* end_;
    std::uint32_t buffer_ = 0;
    int held_ = 0;
};

// A canonical code: how many codes each length has, and the symbols in code order.
struct Code {
    std::array<std::uint16_t, kMaxBits + 1> counts{};
    std::array<std::uint16_t, kLiteralCodes> symbols{};

    // How many codes of the longest length the lengths leave unused; -1 when
    // they give more codes than their bits can tell apart.
    int Build(const std::uint8_t* lengths, int n) {
        counts.fill(0);
        for (int i = 0; i < n; ++i)
            ++counts[lengths[i]];
        int left = 1;
        for (int length = 1; length <= kMaxBits; ++length) {
            left = left * 2 - counts[length];
            if (left < 0) return -1;
        }
        std::array<std::uint16_t, kMaxBits + 1> offsets{};
        for (int length = 1; length < kMaxBits; ++length)
            offsets[length + 1] = static_cast<std::uint16_t>(offsets[length] + counts[length]);
        for (int i = 0; i < n; ++i)
            if (lengths[i] != 0) symbols[offsets[lengths[i]]++] = static_cast<std::uint16_t>(i);
        return left;
    }

    // A stream's own code must be complete, except one of at most a single
    // one-bit code (a lone distance, or none); zlib holds streams to the same.
    bool BuildStrict(const std::uint8_t* lengths, int n) {
        const int left = Build(lengths, n);
        if (left < 0) return false;
        if (left == 0) return true;
        for (int length = 2; length <= kMaxBits; ++length)
            if (counts[length] != 0) return false;
        return true;
    }

    // The next symbol, or -1.
    int Read(Bits& bits) const {
        int code = 0, first = 0, index = 0;
        for (int length = 1; length <= kMaxBits; ++length) {
            const int bit = bits.Take(1);
            if (bit < 0) return -1;
            code |= bit;
            const int count = counts[length];
            if (code - first < count) return symbols[index + code - first];
            index += count;
            first = (first + count) << 1;
            code <<= 1;
        }
        return -1;
    }
};

class Inflater {
public:
    Inflater(std::span<const std::uint8_t> in, std::span<std::uint8_t> out)
        : bits_(in)
        , out_(out) {}

    bool Run() {
        for (;;) {
            const int last = bits_.Take(1), type = bits_.Take(2);
            if (last < 0 || type < 0) return false;
            bool ok = false;
            if (type == 0) ok = Stored();
            if (type == 1) ok = Fixed();
            if (type == 2) ok = Dynamic();
            if (!ok) return false;
            if (last) return true;
        }
    }
    std::size_t written() const { return written_; }
    Bits& bits() { return bits_; }

private:
    bool Stored() {
        bits_.Align();
        const std::uint8_t* head = nullptr;
        if (!bits_.TakeBytes(4, head)) return false;
        const std::size_t length = head[0] | head[1] << 8;
        if (std::size_t(head[2] | head[3] << 8) != (~length & 0xFFFF)) return false;
        const std::uint8_t* bytes = nullptr;
        if (length > out_.size() - written_ || !bits_.TakeBytes(length, bytes)) return false;
        for (std::size_t i = 0; i < length; ++i)
            out_[written_++] = bytes[i];
        return true;
    }

    bool Fixed() {
        std::array<std::uint8_t, kLiteralCodes + kDistanceCodes> lengths{};
        for (int i = 0; i < kLiteralCodes; ++i)
            lengths[i] = i < 144 ? 8 : i < 256 ? 9 : i < 280 ? 7 : 8;
        for (int i = 0; i < kDistanceCodes; ++i)
            lengths[kLiteralCodes + i] = 5;
        // The fixed distance code leaves two codes unused, which fail when read.
        literals_.Build(lengths.data(), kLiteralCodes);
        distances_.Build(lengths.data() + kLiteralCodes, kDistanceCodes);
        return Codes();
    }

    bool Dynamic() {
        const int literalCount = bits_.Take(5) + 257, distanceCount = bits_.Take(5) + 1,
                  lengthCount = bits_.Take(4) + 4;
        if (lengthCount < 4 || distanceCount < 1 || literalCount < 257) return false;
        if (literalCount > 286 || distanceCount > kDistanceCodes) return false;
        constexpr std::uint8_t kOrder[19] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                             11, 4,  12, 3, 13, 2, 14, 1, 15};
        std::array<std::uint8_t, 19> lengthLengths{};
        for (int i = 0; i < lengthCount; ++i) {
            const int length = bits_.Take(3);
            if (length < 0) return false;
            lengthLengths[kOrder[i]] = static_cast<std::uint8_t>(length);
        }
        Code lengthCode;
        if (lengthCode.Build(lengthLengths.data(), 19) != 0) return false;
        std::array<std::uint8_t, kLiteralCodes + kDistanceCodes> lengths{};
        const int total = literalCount + distanceCount;
        for (int i = 0; i < total;) {
            const int symbol = lengthCode.Read(bits_);
            if (symbol < 0) return false;
            if (symbol < 16) {
                lengths[i++] = static_cast<std::uint8_t>(symbol);
                continue;
            }
            // 16 repeats the previous length 3-6 times, 17 and 18 put 3-10
            // and 11-138 zeros.
            if (symbol == 16 && i == 0) return false;
            const std::uint8_t value = symbol == 16 ? lengths[i - 1] : 0;
            const int extra = bits_.Take(symbol == 16 ? 2 : symbol == 17 ? 3 : 7);
            int repeat = extra + (symbol == 18 ? 11 : 3);
            if (extra < 0 || i + repeat > total) return false;
            while (repeat--)
                lengths[i++] = value;
        }
        if (lengths[256] == 0) return false; // no end of block
        return literals_.BuildStrict(lengths.data(), literalCount) &&
               distances_.BuildStrict(lengths.data() + literalCount, distanceCount) && Codes();
    }

    bool Codes() {
        for (;;) {
            const int symbol = literals_.Read(bits_);
            if (symbol < 0) return false;
            if (symbol < 256) {
                if (written_ == out_.size()) return false;
                out_[written_++] = static_cast<std::uint8_t>(symbol);
                continue;
            }
            if (symbol == 256) return true;
            const int lengthIndex = symbol - 257;
            if (lengthIndex >= 29) return false;
            const int lengthExtra = bits_.Take(kLengthExtra[lengthIndex]);
            const int distanceIndex = distances_.Read(bits_);
            if (lengthExtra < 0 || distanceIndex < 0 || distanceIndex >= kDistanceCodes)
                return false;
            const int distanceExtra = bits_.Take(kDistanceExtra[distanceIndex]);
            if (distanceExtra < 0) return false;
            const std::size_t length = kLengthBase[lengthIndex] + lengthExtra;
            const std::size_t distance = kDistanceBase[distanceIndex] + distanceExtra;
            if (distance > written_ || length > out_.size() - written_) return false;
            // Byte by byte: a match may overlap what it copies.
            for (std::size_t i = 0; i < length; ++i, ++written_)
                out_[written_] = out_[written_ - distance];
        }
    }

    Bits bits_;
    std::span<std::uint8_t> out_;
    std::size_t written_ = 0;
    Code literals_, distances_;
};

std::uint32_t Adler32(std::span<const std::uint8_t> bytes) {
    std::uint32_t a = 1, b = 0;
    std::size_t i = 0;
    while (i < bytes.size()) {
        // 5552 bytes is the most that cannot overflow before the modulo.
        const std::size_t end = std::min(bytes.size(), i + 5552);
        for (; i < end; ++i) {
            a += bytes[i];
            b += a;
        }
        a %= 65521;
        b %= 65521;
    }
    return b << 16 | a;
}

} // namespace

bool InflateZlib(std::span<const std::uint8_t> in, std::span<std::uint8_t> out) {
    if (in.size() < 6) return false;
    const int method = in[0], flags = in[1];
    // Deflate with at most a 32 KiB window, a valid header check, no preset dictionary.
    if ((method & 0x0F) != 8 || (method >> 4) > 7 || (method << 8 | flags) % 31 != 0 ||
        (flags & 0x20))
        return false;
    Inflater inflater(in.subspan(2), out);
    if (!inflater.Run() || inflater.written() != out.size()) return false;
    inflater.bits().Align();
    const std::uint8_t* sum = nullptr;
    if (!inflater.bits().TakeBytes(4, sum)) return false;
    const std::uint32_t expected = std::uint32_t(sum[0]) << 24 | std::uint32_t(sum[1]) << 16 |
                                   std::uint32_t(sum[2]) << 8 | sum[3];
    return Adler32(out) == expected;
}

} // namespace tessaly
