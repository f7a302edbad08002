// The publisher's signature on downloaded code, checked with the platform's own cryptography
// (CNG: SHA-256 and ECDSA P-256) over the bytes of an open handle that nobody else may change
// while it is held, from the check until the file is used.
#pragma once
#include <windows.h>

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "fw/handles_win.h"
#include "net/http_win.h"
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

// True when der is an ECDSA P-256 signature by key over the SHA-256 digest of the file's whole
// content, read through the handle from its start.
bool VerifyFileSignature(HANDLE file, std::span<const uint8_t> der, const PublicPoint& key);

// Fetches the signature published for the file's address (SignatureUrlFor) and verifies the
// held file against TrustedPublisherKey. False when the signature is missing, unreachable,
// malformed or does not verify.
bool VerifyPublishedSignature(HANDLE file, std::wstring_view fileUrl, HttpRequestHandles* handles = nullptr);

} // namespace net
