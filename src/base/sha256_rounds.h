// The SHA-256 rounds' constants, and on x86-64 (GCC or Clang) the block function on the CPU's SHA
// instructions, in pieces that a caller can interleave with other work: the rounds are one long
// chain of dependent instructions on units of their own, so independent work placed between them
// runs in their shadow.
#pragma once
#include <cstddef>
#include <cstdint>

#if defined(__x86_64__) && defined(__GNUC__)
#define TNVEXA_SHA_X86 1
#include <immintrin.h>
#define TNVEXA_SHA_TARGET __attribute__((target("sha,sse4.1")))
#define TNVEXA_SHA_INLINE __attribute__((target("sha,sse4.1"), always_inline)) inline
#endif

namespace base::sha256_rounds {

// The first 32 bits of the fractional parts of the cube roots of the first 64 primes, one per
// round.
alignas(16) inline constexpr uint32_t kRound[64] = {
    0x428a2f98u, 0x71374491u, 0xb5c0fbcfu, 0xe9b5dba5u, 0x3956c25bu, 0x59f111f1u, 0x923f82a4u, 0xab1c5ed5u,
    0xd807aa98u, 0x12835b01u, 0x243185beu, 0x550c7dc3u, 0x72be5d74u, 0x80deb1feu, 0x9bdc06a7u, 0xc19bf174u,
    0xe49b69c1u, 0xefbe4786u, 0x0fc19dc6u, 0x240ca1ccu, 0x2de92c6fu, 0x4a7484aau, 0x5cb0a9dcu, 0x76f988dau,
    0x983e5152u, 0xa831c66du, 0xb00327c8u, 0xbf597fc7u, 0xc6e00bf3u, 0xd5a79147u, 0x06ca6351u, 0x14292967u,
    0x27b70a85u, 0x2e1b2138u, 0x4d2c6dfcu, 0x53380d13u, 0x650a7354u, 0x766a0abbu, 0x81c2c92eu, 0x92722c85u,
    0xa2bfe8a1u, 0xa81a664bu, 0xc24b8b70u, 0xc76c51a3u, 0xd192e819u, 0xd6990624u, 0xf40e3585u, 0x106aa070u,
    0x19a4c116u, 0x1e376c08u, 0x2748774cu, 0x34b0bcb5u, 0x391c0cb3u, 0x4ed8aa4au, 0x5b9cca4fu, 0x682e6ff3u,
    0x748f82eeu, 0x78a5636fu, 0x84c87814u, 0x8cc70208u, 0x90befffau, 0xa4506cebu, 0xbef9a3f7u, 0xc67178f2u,
};

#ifdef TNVEXA_SHA_X86

// The state in the two vectors the instructions keep it in, {A,B,E,F} and {C,D,G,H} from the
// highest lane down; one SHA256RNDS2 does two rounds and answers the new {A,B,E,F}, while the old
// one becomes the new {C,D,G,H}. SHA256MSG1/MSG2 extend the schedule four words at a time.
struct State {
    __m128i abef, cdgh;

    static TNVEXA_SHA_INLINE State Load(const uint32_t* s) {
        return {_mm_set_epi32(int(s[0]), int(s[1]), int(s[4]), int(s[5])),
                _mm_set_epi32(int(s[2]), int(s[3]), int(s[6]), int(s[7]))};
    }
    TNVEXA_SHA_INLINE void Store(uint32_t* s) const {
        s[0] = uint32_t(_mm_extract_epi32(abef, 3));
        s[1] = uint32_t(_mm_extract_epi32(abef, 2));
        s[4] = uint32_t(_mm_extract_epi32(abef, 1));
        s[5] = uint32_t(_mm_extract_epi32(abef, 0));
        s[2] = uint32_t(_mm_extract_epi32(cdgh, 3));
        s[3] = uint32_t(_mm_extract_epi32(cdgh, 2));
        s[6] = uint32_t(_mm_extract_epi32(cdgh, 1));
        s[7] = uint32_t(_mm_extract_epi32(cdgh, 0));
    }
};

// One block: Begin, then FourRounds(k) for k = 0 to 15 in order, then End.
struct Block {
    State start;
    __m128i w[4]; // words 4k..4k+3 of the schedule in w[k % 4], the lowest lane first

    TNVEXA_SHA_INLINE void Begin(const State& state, const uint8_t* block) {
        // Bytes of each 32-bit lane reversed: the message words are big-endian.
        const __m128i byteSwap = _mm_set_epi8(12, 13, 14, 15, 8, 9, 10, 11, 4, 5, 6, 7, 0, 1, 2, 3);
        start = state;
        for (int k = 0; k < 4; ++k)
            w[k] =
                _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 16 * k)), byteSwap);
    }
    TNVEXA_SHA_INLINE void FourRounds(int k, State& state) {
        if (k >= 4) {
            // W[t] = s1(W[t-2]) + W[t-7] + s0(W[t-15]) + W[t-16] for t = 4k..4k+3; the vector
            // four before holds W[t-16], and W[t-7] straddles the two latest.
            __m128i next = _mm_sha256msg1_epu32(w[k % 4], w[(k + 1) % 4]);
            next = _mm_add_epi32(next, _mm_alignr_epi8(w[(k + 3) % 4], w[(k + 2) % 4], 4));
            w[k % 4] = _mm_sha256msg2_epu32(next, w[(k + 3) % 4]);
        }
        __m128i wk =
            _mm_add_epi32(w[k % 4], _mm_load_si128(reinterpret_cast<const __m128i*>(kRound + 4 * k)));
        state.cdgh = _mm_sha256rnds2_epu32(state.cdgh, state.abef, wk);
        wk = _mm_shuffle_epi32(wk, 0x0e); // the upper two words down for the next two rounds
        state.abef = _mm_sha256rnds2_epu32(state.abef, state.cdgh, wk);
    }
    TNVEXA_SHA_INLINE void End(State& state) const {
        state.abef = _mm_add_epi32(state.abef, start.abef);
        state.cdgh = _mm_add_epi32(state.cdgh, start.cdgh);
    }
};

#endif

} // namespace base::sha256_rounds
