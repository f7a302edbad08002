// The publisher's signature on downloaded code, checked with the platform's own cryptography
// (CNG: SHA-256 and ECDSA P-256): the digest taken of the bytes as they were written, and the key
// that must have signed it.
#pragma once
#include <windows.h>
#include <bcrypt.h>

#include <array>

#include <optional>
#include <span>
#include <string>
#include <string_view>

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

// SHA-256 with CNG, fed piece by piece.
class Sha256 {
public:
    Sha256();
    ~Sha256();
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;
    // False once CNG has refused a step (the object can't be used then).
    bool Update(const void* data, size_t size);
    std::optional<Sha256Digest> Final();

private:
    BCRYPT_ALG_HANDLE m_algorithm = nullptr;
    BCRYPT_HASH_HANDLE m_hash = nullptr;
    bool m_failed = false;
};

// True when der is an ECDSA P-256 signature by key over the digest (of SignedMessagePrefix and
// the file's bytes).
bool VerifySignedDigest(const Sha256Digest& digest, std::span<const uint8_t> der, const PublicPoint& key);

// A DER signature of P-256 is at most 72 bytes; anything much longer is not one.
inline constexpr uint64_t kMaxSignatureBytes = 256;

} // namespace net
