#include "base/md5.h"

#include <cstdio>
#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace base {

namespace {

constexpr uint32_t kInit[4] = {0x67452301u, 0xefcdab89u, 0x98badcfeu, 0x10325476u};

inline uint32_t Rotl(uint32_t x, unsigned n) {
    return (x << n) | (x >> (32 - n));
}

// Little-endian word i of a block, whatever the host's byte order (compilers make this one load).
inline uint32_t Word(const uint8_t* block, int i) {
    const uint8_t* p = block + 4 * i;
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// The four round functions, written with as few operations as the bit logic allows.
inline uint32_t F(uint32_t b, uint32_t c, uint32_t d) {
    return d ^ (b & (c ^ d));
}
// The two terms share no bits, so their sum is their union; the term without b can be
// computed while b, the result of the step before, is still being made.
inline uint32_t G(uint32_t b, uint32_t c, uint32_t d) {
    return (~d & c) + (d & b);
}
inline uint32_t H(uint32_t b, uint32_t c, uint32_t d) {
    return b ^ c ^ d;
}
inline uint32_t I(uint32_t b, uint32_t c, uint32_t d) {
    return c ^ (b | ~d);
}

template <uint32_t (*Round)(uint32_t, uint32_t, uint32_t), unsigned Shift>
inline void Step(uint32_t& a, uint32_t b, uint32_t c, uint32_t d, uint32_t x, uint32_t sine) {
    a = b + Rotl(a + (x + sine) + Round(b, c, d), Shift);
}

} // namespace

Md5::Md5() {
    Reset();
}

void Md5::Reset() {
    std::memcpy(m_state.data(), kInit, sizeof(kInit));
    m_blocks.Reset();
}

// The 64 steps spelt out with their word order, shifts and sine-derived constants, so that the
// four state words stay in registers across every block of one call.
void Md5::Transform(const uint8_t* blocks, size_t count) {
    uint32_t a = m_state[0], b = m_state[1], c = m_state[2], d = m_state[3];
    for (; count > 0; --count, blocks += 64) {
        const uint8_t* m = blocks;
        const uint32_t a0 = a, b0 = b, c0 = c, d0 = d;

        Step<F, 7>(a, b, c, d, Word(m, 0), 0xd76aa478);
        Step<F, 12>(d, a, b, c, Word(m, 1), 0xe8c7b756);
        Step<F, 17>(c, d, a, b, Word(m, 2), 0x242070db);
        Step<F, 22>(b, c, d, a, Word(m, 3), 0xc1bdceee);
        Step<F, 7>(a, b, c, d, Word(m, 4), 0xf57c0faf);
        Step<F, 12>(d, a, b, c, Word(m, 5), 0x4787c62a);
        Step<F, 17>(c, d, a, b, Word(m, 6), 0xa8304613);
        Step<F, 22>(b, c, d, a, Word(m, 7), 0xfd469501);
        Step<F, 7>(a, b, c, d, Word(m, 8), 0x698098d8);
        Step<F, 12>(d, a, b, c, Word(m, 9), 0x8b44f7af);
        Step<F, 17>(c, d, a, b, Word(m, 10), 0xffff5bb1);
        Step<F, 22>(b, c, d, a, Word(m, 11), 0x895cd7be);
        Step<F, 7>(a, b, c, d, Word(m, 12), 0x6b901122);
        Step<F, 12>(d, a, b, c, Word(m, 13), 0xfd987193);
        Step<F, 17>(c, d, a, b, Word(m, 14), 0xa679438e);
        Step<F, 22>(b, c, d, a, Word(m, 15), 0x49b40821);

        Step<G, 5>(a, b, c, d, Word(m, 1), 0xf61e2562);
        Step<G, 9>(d, a, b, c, Word(m, 6), 0xc040b340);
        Step<G, 14>(c, d, a, b, Word(m, 11), 0x265e5a51);
        Step<G, 20>(b, c, d, a, Word(m, 0), 0xe9b6c7aa);
        Step<G, 5>(a, b, c, d, Word(m, 5), 0xd62f105d);
        Step<G, 9>(d, a, b, c, Word(m, 10), 0x02441453);
        Step<G, 14>(c, d, a, b, Word(m, 15), 0xd8a1e681);
        Step<G, 20>(b, c, d, a, Word(m, 4), 0xe7d3fbc8);
        Step<G, 5>(a, b, c, d, Word(m, 9), 0x21e1cde6);
        Step<G, 9>(d, a, b, c, Word(m, 14), 0xc33707d6);
        Step<G, 14>(c, d, a, b, Word(m, 3), 0xf4d50d87);
        Step<G, 20>(b, c, d, a, Word(m, 8), 0x455a14ed);
        Step<G, 5>(a, b, c, d, Word(m, 13), 0xa9e3e905);
        Step<G, 9>(d, a, b, c, Word(m, 2), 0xfcefa3f8);
        Step<G, 14>(c, d, a, b, Word(m, 7), 0x676f02d9);
        Step<G, 20>(b, c, d, a, Word(m, 12), 0x8d2a4c8a);

        Step<H, 4>(a, b, c, d, Word(m, 5), 0xfffa3942);
        Step<H, 11>(d, a, b, c, Word(m, 8), 0x8771f681);
        Step<H, 16>(c, d, a, b, Word(m, 11), 0x6d9d6122);
        Step<H, 23>(b, c, d, a, Word(m, 14), 0xfde5380c);
        Step<H, 4>(a, b, c, d, Word(m, 1), 0xa4beea44);
        Step<H, 11>(d, a, b, c, Word(m, 4), 0x4bdecfa9);
        Step<H, 16>(c, d, a, b, Word(m, 7), 0xf6bb4b60);
        Step<H, 23>(b, c, d, a, Word(m, 10), 0xbebfbc70);
        Step<H, 4>(a, b, c, d, Word(m, 13), 0x289b7ec6);
        Step<H, 11>(d, a, b, c, Word(m, 0), 0xeaa127fa);
        Step<H, 16>(c, d, a, b, Word(m, 3), 0xd4ef3085);
        Step<H, 23>(b, c, d, a, Word(m, 6), 0x04881d05);
        Step<H, 4>(a, b, c, d, Word(m, 9), 0xd9d4d039);
        Step<H, 11>(d, a, b, c, Word(m, 12), 0xe6db99e5);
        Step<H, 16>(c, d, a, b, Word(m, 15), 0x1fa27cf8);
        Step<H, 23>(b, c, d, a, Word(m, 2), 0xc4ac5665);

        Step<I, 6>(a, b, c, d, Word(m, 0), 0xf4292244);
        Step<I, 10>(d, a, b, c, Word(m, 7), 0x432aff97);
        Step<I, 15>(c, d, a, b, Word(m, 14), 0xab9423a7);
        Step<I, 21>(b, c, d, a, Word(m, 5), 0xfc93a039);
        Step<I, 6>(a, b, c, d, Word(m, 12), 0x655b59c3);
        Step<I, 10>(d, a, b, c, Word(m, 3), 0x8f0ccc92);
        Step<I, 15>(c, d, a, b, Word(m, 10), 0xffeff47d);
        Step<I, 21>(b, c, d, a, Word(m, 1), 0x85845dd1);
        Step<I, 6>(a, b, c, d, Word(m, 8), 0x6fa87e4f);
        Step<I, 10>(d, a, b, c, Word(m, 15), 0xfe2ce6e0);
        Step<I, 15>(c, d, a, b, Word(m, 6), 0xa3014314);
        Step<I, 21>(b, c, d, a, Word(m, 13), 0x4e0811a1);
        Step<I, 6>(a, b, c, d, Word(m, 4), 0xf7537e82);
        Step<I, 10>(d, a, b, c, Word(m, 11), 0xbd3af235);
        Step<I, 15>(c, d, a, b, Word(m, 2), 0x2ad7d2bb);
        Step<I, 21>(b, c, d, a, Word(m, 9), 0xeb86d391);

        a += a0;
        b += b0;
        c += c0;
        d += d0;
    }
    m_state = {a, b, c, d};
}

void Md5::Update(const void* data, size_t size) {
    m_blocks.Feed(data, size, [this](const uint8_t* blocks, size_t count) { Transform(blocks, count); });
}

std::array<uint8_t, 16> Md5::Final() {
    m_blocks.Finish(DigestBlocks::LengthOrder::LittleEndian,
                    [this](const uint8_t* blocks, size_t count) { Transform(blocks, count); });
    std::array<uint8_t, 16> digest{};
    for (int i = 0; i < 16; ++i)
        digest[i] = uint8_t(m_state[i / 4] >> (8 * (i % 4)));
    return digest;
}

std::wstring Md5Hex(const std::array<uint8_t, 16>& digest) {
    static const wchar_t kDigits[] = L"0123456789abcdef";
    std::wstring out;
    out.reserve(32);
    for (uint8_t b : digest) {
        out += kDigits[b >> 4];
        out += kDigits[b & 15];
    }
    return out;
}

std::wstring Md5HexOf(std::string_view bytes) {
    Md5 md5;
    md5.Update(bytes);
    return Md5Hex(md5.Final());
}

namespace {
constexpr size_t kFileBlock = 1 << 20;
} // namespace

std::wstring Md5FileHex(const std::filesystem::path& path) {
#ifdef _WIN32
    std::unique_ptr<FILE, int (*)(FILE*)> file(_wfopen(path.c_str(), L"rb"), &std::fclose);
#else
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
#endif
    if (!file) return {};
    // Large reads: the digest is the same as over the 1024-byte blocks of the key rule, and a
    // call into the file system costs more than hashing a few kilobytes.
    std::setvbuf(file.get(), nullptr, _IONBF, 0);
    Md5 md5;
    std::vector<char> block(kFileBlock);
    size_t n;
    while ((n = std::fread(block.data(), 1, block.size(), file.get())) > 0)
        md5.Update(block.data(), n);
    if (std::ferror(file.get())) return {};
    return Md5Hex(md5.Final());
}

} // namespace base
