// SHA-256 message digest (FIPS 180-4): the digest the publisher signs downloaded code over.
// Written here rather than asked of the system because it must keep up with a download: it uses
// the CPU's SHA instructions where there are any.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "base/digest_blocks.h"

namespace base {

class Sha256 {
public:
    enum class Engine {
        Fastest,  // the CPU's SHA instructions when it has them, else the portable code
        Portable, // plain C++ only (lets tests compare the two)
    };

    explicit Sha256(Engine engine = Engine::Fastest);
    void Update(const void* data, size_t size);
    void Update(std::string_view bytes) { Update(bytes.data(), bytes.size()); }
    // Finishes the digest; the object must be Reset before it is used again.
    std::array<uint8_t, 32> Final();
    void Reset();

    // Whether Engine::Fastest uses the CPU's SHA instructions on this machine.
    static bool CpuHasShaInstructions();

private:
    friend class Md5AndSha256;
    void Transform(const uint8_t* blocks, size_t count);

    std::array<uint32_t, 8> m_state{};
    DigestBlocks m_blocks;
    bool m_useCpu = false;
};

} // namespace base
