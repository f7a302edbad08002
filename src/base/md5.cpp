#include "base/md5.h"

#include <cstdio>
#include <algorithm>
#include <cstring>
#include <memory>

namespace base {

namespace {

constexpr uint32_t kInit[4] = {0x67452301u, 0xefcdab89u, 0x98badcfeu, 0x10325476u};

// Per-step shift amounts and the sine-derived constants of the four rounds.
constexpr uint8_t kShift[64] = {7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22,
                                5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20,
                                4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23,
                                6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21};

constexpr uint32_t kSine[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391};

inline uint32_t Rotl(uint32_t x, unsigned n) {
    return (x << n) | (x >> (32 - n));
}

} // namespace

Md5::Md5() {
    Reset();
}

void Md5::Reset() {
    std::memcpy(m_state.data(), kInit, sizeof(kInit));
    m_length = 0;
    m_buffered = 0;
}

void Md5::Transform(const uint8_t* block) {
    uint32_t x[16];
    for (int i = 0; i < 16; ++i) // little-endian words, whatever the host's byte order
        x[i] = uint32_t(block[i * 4]) | uint32_t(block[i * 4 + 1]) << 8 | uint32_t(block[i * 4 + 2]) << 16 |
               uint32_t(block[i * 4 + 3]) << 24;
    uint32_t a = m_state[0], b = m_state[1], c = m_state[2], d = m_state[3];
    for (int i = 0; i < 64; ++i) {
        uint32_t f;
        int g;
        if (i < 16) {
            f = (b & c) | (~b & d);
            g = i;
        } else if (i < 32) {
            f = (d & b) | (~d & c);
            g = (5 * i + 1) % 16;
        } else if (i < 48) {
            f = b ^ c ^ d;
            g = (3 * i + 5) % 16;
        } else {
            f = c ^ (b | ~d);
            g = (7 * i) % 16;
        }
        const uint32_t next = b + Rotl(a + f + kSine[i] + x[g], kShift[i]);
        a = d;
        d = c;
        c = b;
        b = next;
    }
    m_state[0] += a;
    m_state[1] += b;
    m_state[2] += c;
    m_state[3] += d;
}

void Md5::Update(const void* data, size_t size) {
    auto* p = static_cast<const uint8_t*>(data);
    m_length += size;
    if (m_buffered > 0) {
        const size_t take = std::min(size, m_buffer.size() - m_buffered);
        std::memcpy(m_buffer.data() + m_buffered, p, take);
        m_buffered += take;
        p += take;
        size -= take;
        if (m_buffered < m_buffer.size()) return;
        Transform(m_buffer.data());
        m_buffered = 0;
    }
    for (; size >= 64; p += 64, size -= 64)
        Transform(p);
    std::memcpy(m_buffer.data(), p, size);
    m_buffered = size;
}

std::array<uint8_t, 16> Md5::Final() {
    const uint64_t bits = m_length * 8;
    static const uint8_t kPad[64] = {0x80};
    const size_t padLength = (m_buffered < 56) ? 56 - m_buffered : 120 - m_buffered;
    Update(kPad, padLength);
    uint8_t tail[8];
    for (int i = 0; i < 8; ++i)
        tail[i] = uint8_t(bits >> (8 * i));
    Update(tail, 8);
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

std::wstring Md5FileHex(const std::filesystem::path& path) {
#ifdef _WIN32
    std::unique_ptr<FILE, int (*)(FILE*)> file(_wfopen(path.c_str(), L"rb"), &std::fclose);
#else
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
#endif
    if (!file) return {};
    Md5 md5;
    char block[1024];
    size_t n;
    while ((n = std::fread(block, 1, sizeof(block), file.get())) > 0)
        md5.Update(block, n);
    if (std::ferror(file.get())) return {};
    return Md5Hex(md5.Final());
}

} // namespace base
