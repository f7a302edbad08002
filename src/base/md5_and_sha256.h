// MD5 and SHA-256 of the same bytes in one pass: on the CPU's SHA instructions, the SHA-256 rounds
// run in the gaps of MD5's chain of dependent steps and cost next to nothing beside it.
#pragma once
#include <cstddef>

#include "base/md5.h"
#include "base/sha256.h"

namespace base {

class Md5AndSha256 {
public:
    // Both digests take the bytes. Either may have taken bytes of its own before (a prefix only
    // one of the two covers); each still sees exactly the bytes it was given, in order.
    void Update(const void* data, size_t size);

    Md5& Md5Digest() { return m_md5; }
    Sha256& Sha256Digest() { return m_sha; }

private:
    Md5 m_md5;
    Sha256 m_sha;
};

} // namespace base
