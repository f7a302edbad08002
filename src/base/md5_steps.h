// The MD5 block function (RFC 1321) as 16 groups of four steps, for the digest alone and for the
// pass that runs it beside SHA-256.
#pragma once
#include <cstdint>

namespace base::md5_steps {

inline constexpr uint32_t kInit[4] = {0x67452301u, 0xefcdab89u, 0x98badcfeu, 0x10325476u};

// The integer parts of 2^32 * |sin(t + 1)|, one per step.
inline constexpr uint32_t kSine[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391,
};

// Which word of the block step t adds, and how far it rotates.
constexpr int WordOf(int t) {
    return t < 16 ? t : t < 32 ? (5 * t + 1) % 16 : t < 48 ? (3 * t + 5) % 16 : (7 * t) % 16;
}
constexpr unsigned ShiftOf(int t) {
    constexpr unsigned kShifts[4][4] = {{7, 12, 17, 22}, {5, 9, 14, 20}, {4, 11, 16, 23}, {6, 10, 15, 21}};
    return kShifts[t / 16][t % 4];
}

// Little-endian word i of a block, whatever the host's byte order (compilers make this one load).
[[gnu::always_inline]] inline uint32_t Word(const uint8_t* block, int i) {
    const uint8_t* p = block + 4 * i;
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// Step t. The round functions use as few operations as the bit logic allows; in the second, the
// two terms share no bits, so their sum is their union, and the term without b can be computed
// while b, the step before's result, is still being made. With t a constant, as in the unrolled
// loops of the callers, the choices fold away.
[[gnu::always_inline]] inline void Step(int t, uint32_t& a, uint32_t b, uint32_t c, uint32_t d,
                                        const uint8_t* block) {
    const uint32_t f = t < 16   ? d ^ (b & (c ^ d))
                       : t < 32 ? (~d & c) + (d & b)
                       : t < 48 ? b ^ c ^ d
                                : c ^ (b | ~d);
    const uint32_t sum = a + (Word(block, WordOf(t)) + kSine[t]) + f;
    a = b + ((sum << ShiftOf(t)) | (sum >> (32 - ShiftOf(t))));
}

// Steps 4k to 4k+3: the state words take turns as the one each step makes.
[[gnu::always_inline]] inline void FourSteps(int k, uint32_t& a, uint32_t& b, uint32_t& c, uint32_t& d,
                                             const uint8_t* block) {
    Step(4 * k, a, b, c, d, block);
    Step(4 * k + 1, d, a, b, c, block);
    Step(4 * k + 2, c, d, a, b, block);
    Step(4 * k + 3, b, c, d, a, block);
}

} // namespace base::md5_steps
