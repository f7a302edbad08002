#include "base/sha256.h"

#include <algorithm>
#include <cstring>

#include "base/sha256_rounds.h"

#ifdef TNVEXA_SHA_X86
#include <cpuid.h>
#endif

namespace base {

namespace {

// The first 32 bits of the fractional parts of the square roots of the first eight primes.
constexpr uint32_t kInit[8] = {0x6a09e667u, 0xbb67ae85u, 0x3c6ef372u, 0xa54ff53au,
                               0x510e527fu, 0x9b05688cu, 0x1f83d9abu, 0x5be0cd19u};

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
            const uint32_t t1 =
                h + (Rotr(e, 6) ^ Rotr(e, 11) ^ Rotr(e, 25)) + choice + sha256_rounds::kRound[t] + w[t & 15];
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
TNVEXA_SHA_TARGET void TransformCpu(uint32_t* state, const uint8_t* blocks, size_t count) {
    sha256_rounds::State s = sha256_rounds::State::Load(state);
    for (; count > 0; --count, blocks += 64) {
        sha256_rounds::Block block;
        block.Begin(s, blocks);
#pragma GCC unroll 16
        for (int k = 0; k < 16; ++k)
            block.FourRounds(k, s);
        block.End(s);
    }
    s.Store(state);
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
