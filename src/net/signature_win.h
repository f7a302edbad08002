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

#include "base/handle_win.h"
#include "net/signature.h"

namespace net {

// The key downloaded code must be signed with: the "PublisherKey" test switch (the point as
// hex) when it is set, else the key built in. A switch that is not a point trusts no key at all.
// Read once per process.
const std::optional<PublicPoint>& TrustedPublisherKey();

// Opens an existing file for reading and holds it: others may read it, but not write, delete
// or rename it while the handle lives. With mayRename the holder itself may rename it (the
// swap of the update) through the handle.
base::Handle OpenPinned(const std::wstring& path, bool mayRename);

using Sha256Digest = std::array<uint8_t, 32>;

// True when der is an ECDSA P-256 signature by key over the digest (of SignedMessagePrefix and
// the file's bytes).
bool VerifySignedDigest(const Sha256Digest& digest, std::span<const uint8_t> der, const PublicPoint& key);

// A DER signature of P-256 is at most 72 bytes; anything much longer is not one.
inline constexpr uint64_t kMaxSignatureBytes = 256;

} // namespace net
