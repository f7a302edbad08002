// The publisher's signature on downloaded code: the SHA-256 digest taken of the bytes as they were
// written (the program's own, which keeps up with a download), checked with the platform's ECDSA
// P-256 (CNG) against the key that must have signed it.
#pragma once
#include <windows.h>
#include <bcrypt.h>

#include <array>

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "base/sha256.h"
#include "fw/handles_win.h"
#include "net/signature.h"

namespace net {

// The key downloaded code must be signed with: the "PublisherKey" test switch (the point as
// hex) when it is set, else the key built in. A switch that is not a point trusts no key at all.
// Read once per process.
const std::optional<PublicPoint>& TrustedPublisherKey();

// Opens an existing file for reading and holds it: others may read it, but not write, delete
// or rename it while the handle lives. With mayRename the holder itself may rename it (the
// swap of the update) through the handle.
fw::Handle OpenPinned(const std::wstring& path, bool mayRename);

using Sha256Digest = std::array<uint8_t, 32>;

// SHA-256 fed piece by piece, in the shape the signature's callers expect: a finished digest
// gives no second one.
class Sha256 {
public:
    bool Update(const void* data, size_t size) {
        if (m_finished) return false;
        m_sha.Update(data, size);
        return true;
    }
    std::optional<Sha256Digest> Final() {
        if (m_finished) return std::nullopt;
        m_finished = true;
        return m_sha.Final();
    }

private:
    base::Sha256 m_sha;
    bool m_finished = false;
};

// True when der is an ECDSA P-256 signature by key over the digest (of SignedMessagePrefix and
// the file's bytes).
bool VerifySignedDigest(const Sha256Digest& digest, std::span<const uint8_t> der, const PublicPoint& key);

// A DER signature of P-256 is at most 72 bytes; anything much longer is not one.
inline constexpr uint64_t kMaxSignatureBytes = 256;

} // namespace net
