#include "base/md5_and_sha256.h"

#include <algorithm>
#include <cstdint>

#include "base/md5_steps.h"
#include "base/sha256_rounds.h"

namespace base {

namespace {

#ifdef TNVEXA_SHA_X86
// The two block functions side by side, MD5's four steps after each four SHA-256 rounds; the two
// digests' blocks may lie at different places of the same bytes.
TNVEXA_SHA_TARGET void TransformBoth(uint32_t* md5State, const uint8_t* md5Blocks, uint32_t* shaState,
                                     const uint8_t* shaBlocks, size_t count) {
    uint32_t a = md5State[0], b = md5State[1], c = md5State[2], d = md5State[3];
    sha256_rounds::State sha = sha256_rounds::State::Load(shaState);
    for (; count > 0; --count, md5Blocks += 64, shaBlocks += 64) {
        const uint32_t a0 = a, b0 = b, c0 = c, d0 = d;
        sha256_rounds::Block block;
        block.Begin(sha, shaBlocks);
#pragma GCC unroll 16
        for (int k = 0; k < 16; ++k) {
            block.FourRounds(k, sha);
            md5_steps::FourSteps(k, a, b, c, d, md5Blocks);
        }
        block.End(sha);
        a += a0;
        b += b0;
        c += c0;
        d += d0;
    }
    md5State[0] = a;
    md5State[1] = b;
    md5State[2] = c;
    md5State[3] = d;
    sha.Store(shaState);
}
#endif

} // namespace

void Md5AndSha256::Update(const void* data, size_t size) {
    const auto* bytes = static_cast<const uint8_t*>(data);
#ifdef TNVEXA_SHA_X86
    if (m_sha.m_useCpu) {
        // Each digest first completes the block it holds; from there on both take whole blocks
        // straight from the caller's bytes, together, and keep what is left as usual.
        const size_t md5Lead = std::min(size, m_md5.m_blocks.ToBoundary());
        const size_t shaLead = std::min(size, m_sha.m_blocks.ToBoundary());
        m_md5.Update(bytes, md5Lead);
        m_sha.Update(bytes, shaLead);
        const size_t whole = (size - std::max(md5Lead, shaLead)) / 64;
        if (whole > 0) {
            TransformBoth(m_md5.m_state.data(), bytes + md5Lead, m_sha.m_state.data(), bytes + shaLead,
                          whole);
            m_md5.m_blocks.CountWhole(whole);
            m_sha.m_blocks.CountWhole(whole);
        }
        m_md5.Update(bytes + md5Lead + 64 * whole, size - md5Lead - 64 * whole);
        m_sha.Update(bytes + shaLead + 64 * whole, size - shaLead - 64 * whole);
        return;
    }
#endif
    m_md5.Update(bytes, size);
    m_sha.Update(bytes, size);
}

} // namespace base
