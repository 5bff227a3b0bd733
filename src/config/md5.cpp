#include "config/md5.h"

#include <algorithm>
#include <cstddef>
#include <utility>

namespace ombrevane {

namespace {

struct Md5Context {
    std::uint32_t state[4] = {0x67452301u, 0xefcdab89u, 0x98badcfeu, 0x10325476u};
    std::uint64_t bitCount = 0;
    std::uint8_t buffer[64] = {};
    std::size_t buffered = 0;
};

constexpr std::uint32_t kSine[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391};

constexpr int kShift[64] = {7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22,
                            5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20,
                            4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23,
                            6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21};

std::uint32_t RotateLeft(std::uint32_t value, int count) {
    return (value << count) | (value >> (32 - count));
}

void Transform(std::uint32_t state[4], const std::uint8_t block[64]) {
    std::uint32_t x[16];
    for (int i = 0; i < 16; ++i) {
        x[i] = static_cast<std::uint32_t>(block[i * 4]) |
               static_cast<std::uint32_t>(block[i * 4 + 1]) << 8 |
               static_cast<std::uint32_t>(block[i * 4 + 2]) << 16 |
               static_cast<std::uint32_t>(block[i * 4 + 3]) << 24;
    }
    std::uint32_t a = state[0];
    std::uint32_t b = state[1];
    std::uint32_t c = state[2];
    std::uint32_t d = state[3];
    for (int step = 0; step < 64; ++step) {
        std::uint32_t f = 0;
        int word = 0;
        switch (step / 16) {
        case 0: // F
            f = (b & c) | (~b & d);
            word = step;
            break;
        case 1: // G
            f = (b & d) | (c & ~d);
            word = (5 * step + 1) % 16;
            break;
        case 2: // H
            f = b ^ c ^ d;
            word = (3 * step + 5) % 16;
            break;
        default: // I
            f = c ^ (b | ~d);
            word = (7 * step) % 16;
            break;
        }
        const std::uint32_t rotated = b + RotateLeft(a + f + x[word] + kSine[step], kShift[step]);
        a = d;
        d = c;
        c = b;
        b = rotated;
    }
    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
    // The words are password bytes too.
    volatile std::uint32_t* words = x;
    for (int i = 0; i < 16; ++i) {
        words[i] = 0;
    }
}

void Update(Md5Context& context, const std::uint8_t* data, std::size_t length) {
    context.bitCount += static_cast<std::uint64_t>(length) * 8;
    while (length > 0) {
        const std::size_t take = std::min<std::size_t>(64 - context.buffered, length);
        for (std::size_t i = 0; i < take; ++i) {
            context.buffer[context.buffered + i] = data[i];
        }
        context.buffered += take;
        data += take;
        length -= take;
        if (context.buffered == 64) {
            Transform(context.state, context.buffer);
            context.buffered = 0;
        }
    }
}

// The context held password bytes; wipe it in a way the compiler keeps.
void Clear(Md5Context& context) {
    volatile std::uint8_t* bytes = reinterpret_cast<volatile std::uint8_t*>(&context);
    for (std::size_t i = 0; i < sizeof context; ++i) {
        bytes[i] = 0;
    }
}

} // namespace

TMD5Digest MD5Digest(std::string_view text) {
    Md5Context context;
    Update(context, reinterpret_cast<const std::uint8_t*>(text.data()), text.size());

    const std::uint64_t bitCount = context.bitCount;
    std::uint8_t lengthBytes[8];
    for (int i = 0; i < 8; ++i) {
        lengthBytes[i] = static_cast<std::uint8_t>(bitCount >> (8 * i));
    }
    const std::uint8_t padding[64] = {0x80};
    const std::size_t padLength =
        context.buffered < 56 ? 56 - context.buffered : 120 - context.buffered;
    Update(context, padding, padLength);
    Update(context, lengthBytes, 8);

    TMD5Digest digest{};
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            digest[i * 4 + j] = static_cast<std::uint8_t>(context.state[i] >> (8 * j));
        }
    }
    Clear(context);
    return digest;
}

std::string DigestToHex(const TMD5Digest& digest) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(32);
    for (const std::uint8_t byte : digest) {
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 0x0f];
    }
    return hex;
}

std::string PasswordHash(std::string_view password) {
    return DigestToHex(MD5Digest(password));
}

PasswordEditResult EvaluatePasswordEdits(std::string_view password, std::string_view again) {
    if (password != again) {
        return {PasswordEditOutcome::Mismatch, {}};
    }
    if (password.empty() || password == kUnchangedPasswordPlaceholder) {
        return {PasswordEditOutcome::KeepStored, {}};
    }
    return {PasswordEditOutcome::NewHash, PasswordHash(password)};
}

std::optional<std::string> StoredHashAfterEdits(std::string_view password, std::string_view again,
                                                std::string_view storedHash) {
    PasswordEditResult result = EvaluatePasswordEdits(password, again);
    switch (result.outcome) {
    case PasswordEditOutcome::Mismatch:
        return std::nullopt;
    case PasswordEditOutcome::KeepStored:
        return std::string(storedHash);
    case PasswordEditOutcome::NewHash:
        break;
    }
    return std::move(result.hash);
}

bool CheckPassword(std::string_view typed, std::string_view storedHash) {
    return storedHash.empty() || PasswordHash(typed) == storedHash;
}

} // namespace ombrevane
