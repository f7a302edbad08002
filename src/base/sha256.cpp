#include "base/sha256.h"

#include <algorithm>
#include <cstring>

#if defined(__x86_64__) && defined(__GNUC__)
#define TNVEXA_SHA_X86 1
#include <cpuid.h>
#include <immintrin.h>
#endif

namespace base {

namespace {

// The first 32 bits of the fractional parts of the square roots of the first eight primes.
constexpr uint32_t kInit[8] = {0x6a09e667u, 0xbb67ae85u, 0x3c6ef372u, 0xa54ff53au,
                               0x510e527fu, 0x9b05688cu, 0x1f83d9abu, 0x5be0cd19u};

// The first 32 bits of the fractional parts of the cube roots of the first 64 primes, one per round.
alignas(16) constexpr uint32_t kRound[64] = {
    0x428a2f98u, 0x71374491u, 0xb5c0fbcfu, 0xe9b5dba5u, 0x3956c25bu, 0x59f111f1u, 0x923f82a4u, 0xab1c5ed5u,
    0xd807aa98u, 0x12835b01u, 0x243185beu, 0x550c7dc3u, 0x72be5d74u, 0x80deb1feu, 0x9bdc06a7u, 0xc19bf174u,
    0xe49b69c1u, 0xefbe4786u, 0x0fc19dc6u, 0x240ca1ccu, 0x2de92c6fu, 0x4a7484aau, 0x5cb0a9dcu, 0x76f988dau,
    0x983e5152u, 0xa831c66du, 0xb00327c8u, 0xbf597fc7u, 0xc6e00bf3u, 0xd5a79147u, 0x06ca6351u, 0x14292967u,
    0x27b70a85u, 0x2e1b2138u, 0x4d2c6dfcu, 0x53380d13u, 0x650a7354u, 0x766a0abbu, 0x81c2c92eu, 0x92722c85u,
    0xa2bfe8a1u, 0xa81a664bu, 0xc24b8b70u, 0xc76c51a3u, 0xd192e819u, 0xd6990624u, 0xf40e3585u, 0x106aa070u,
    0x19a4c116u, 0x1e376c08u, 0x2748774cu, 0x34b0bcb5u, 0x391c0cb3u, 0x4ed8aa4au, 0x5b9cca4fu, 0x682e6ff3u,
    0x748f82eeu, 0x78a5636fu, 0x84c87814u, 0x8cc70208u, 0x90befffau, 0xa4506cebu, 0xbef9a3f7u, 0xc67178f2u,
};

inline uint32_t Rotr(uint32_t x, unsigned n) {
    return (x >> n) | (x << (32 - n));
}

// Big-endian word i of a block, whatever the host's byte order.
inline uint32_t Word(const uint8_t* block, int i) {
    const uint8_t* p = block + 4 * i;
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

void TransformPortable(uint32_t* state, const uint8_t* blocks, size_t count) {
    for (; count > 0; --count, blocks += 64) {
        // The schedule needs only its last 16 words, kept in a ring.
        uint32_t w[16];
        for (int t = 0; t < 16; ++t)
            w[t] = Word(blocks, t);
        uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
        uint32_t e = state[4], f = state[5], g = state[6], h = state[7];
        for (int t = 0; t < 64; ++t) {
            if (t >= 16) {
                const uint32_t w15 = w[(t - 15) & 15], w2 = w[(t - 2) & 15];
                const uint32_t s0 = Rotr(w15, 7) ^ Rotr(w15, 18) ^ (w15 >> 3);
                const uint32_t s1 = Rotr(w2, 17) ^ Rotr(w2, 19) ^ (w2 >> 10);
                w[t & 15] += s0 + w[(t - 7) & 15] + s1;
            }
            const uint32_t choice = g ^ (e & (f ^ g));
            const uint32_t majority = (a & b) | (c & (a | b));
            const uint32_t t1 = h + (Rotr(e, 6) ^ Rotr(e, 11) ^ Rotr(e, 25)) + choice + kRound[t] + w[t & 15];
            const uint32_t t2 = (Rotr(a, 2) ^ Rotr(a, 13) ^ Rotr(a, 22)) + majority;
            h = g;
            g = f;
            f = e;
            e = d + t1;
            d = c;
            c = b;
            b = a;
            a = t1 + t2;
        }
        state[0] += a;
        state[1] += b;
        state[2] += c;
        state[3] += d;
        state[4] += e;
        state[5] += f;
        state[6] += g;
        state[7] += h;
    }
}

#ifdef TNVEXA_SHA_X86
// The SHA instructions keep the state in two vectors, {A,B,E,F} and {C,D,G,H} from the highest
// lane down; one SHA256RNDS2 does two rounds and answers the new {A,B,E,F}, while the old one
// becomes the new {C,D,G,H}. SHA256MSG1/MSG2 extend the schedule four words at a time.
__attribute__((target("sha,sse4.1"))) void TransformCpu(uint32_t* state, const uint8_t* blocks,
                                                        size_t count) {
    // Bytes of each 32-bit lane reversed: the message words are big-endian.
    const __m128i byteSwap = _mm_set_epi8(12, 13, 14, 15, 8, 9, 10, 11, 4, 5, 6, 7, 0, 1, 2, 3);
    __m128i abef = _mm_set_epi32(int(state[0]), int(state[1]), int(state[4]), int(state[5]));
    __m128i cdgh = _mm_set_epi32(int(state[2]), int(state[3]), int(state[6]), int(state[7]));
    for (; count > 0; --count, blocks += 64) {
        const __m128i abef0 = abef, cdgh0 = cdgh;
        __m128i w[4]; // words 4k..4k+3 of the schedule in w[k % 4], the lowest lane first
        for (int k = 0; k < 4; ++k)
            w[k] = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(blocks + 16 * k)),
                                    byteSwap);
#pragma GCC unroll 16
        for (int k = 0; k < 16; ++k) {
            if (k >= 4) {
                // W[t] = s1(W[t-2]) + W[t-7] + s0(W[t-15]) + W[t-16] for t = 4k..4k+3; the
                // vector four before holds W[t-16], and W[t-7] straddles the two latest.
                __m128i next = _mm_sha256msg1_epu32(w[k % 4], w[(k + 1) % 4]);
                next = _mm_add_epi32(next, _mm_alignr_epi8(w[(k + 3) % 4], w[(k + 2) % 4], 4));
                w[k % 4] = _mm_sha256msg2_epu32(next, w[(k + 3) % 4]);
            }
            __m128i wk =
                _mm_add_epi32(w[k % 4], _mm_load_si128(reinterpret_cast<const __m128i*>(kRound + 4 * k)));
            cdgh = _mm_sha256rnds2_epu32(cdgh, abef, wk);
            wk = _mm_shuffle_epi32(wk, 0x0e); // the upper two words down for the next two rounds
            abef = _mm_sha256rnds2_epu32(abef, cdgh, wk);
        }
        abef = _mm_add_epi32(abef, abef0);
        cdgh = _mm_add_epi32(cdgh, cdgh0);
    }
    state[0] = uint32_t(_mm_extract_epi32(abef, 3));
    state[1] = uint32_t(_mm_extract_epi32(abef, 2));
    state[4] = uint32_t(_mm_extract_epi32(abef, 1));
    state[5] = uint32_t(_mm_extract_epi32(abef, 0));
    state[2] = uint32_t(_mm_extract_epi32(cdgh, 3));
    state[3] = uint32_t(_mm_extract_epi32(cdgh, 2));
    state[6] = uint32_t(_mm_extract_epi32(cdgh, 1));
    state[7] = uint32_t(_mm_extract_epi32(cdgh, 0));
}
#endif

} // namespace

bool Sha256::CpuHasShaInstructions() {
#ifdef TNVEXA_SHA_X86
    static const bool has = [] {
        unsigned a = 0, b = 0, c = 0, d = 0;
        if (!__get_cpuid(1, &a, &b, &c, &d)) return false;
        const bool ssse3 = c & (1u << 9), sse41 = c & (1u << 19);
        if (!__get_cpuid_count(7, 0, &a, &b, &c, &d)) return false;
        return ssse3 && sse41 && (b & (1u << 29)) != 0; // leaf 7, EBX bit 29: SHA
    }();
    return has;
#else
    return false;
#endif
}

Sha256::Sha256(Engine engine) : m_useCpu(engine == Engine::Fastest && CpuHasShaInstructions()) {
    Reset();
}

void Sha256::Reset() {
    std::memcpy(m_state.data(), kInit, sizeof(kInit));
    m_blocks.Reset();
}

void Sha256::Transform(const uint8_t* blocks, size_t count) {
    if (count == 0) return;
#ifdef TNVEXA_SHA_X86
    if (m_useCpu) return TransformCpu(m_state.data(), blocks, count);
#endif
    TransformPortable(m_state.data(), blocks, count);
}

void Sha256::Update(const void* data, size_t size) {
    m_blocks.Feed(data, size, [this](const uint8_t* blocks, size_t count) { Transform(blocks, count); });
}

std::array<uint8_t, 32> Sha256::Final() {
    m_blocks.Finish(DigestBlocks::LengthOrder::BigEndian,
                    [this](const uint8_t* blocks, size_t count) { Transform(blocks, count); });
    std::array<uint8_t, 32> digest{};
    for (int i = 0; i < 32; ++i)
        digest[i] = uint8_t(m_state[i / 4] >> (24 - 8 * (i % 4)));
    return digest;
}

} // namespace base
