// Portable rules of the publisher's detached signatures: the ECDSA P-256 signature as DER (a
// SEQUENCE of two INTEGERs, as `openssl dgst -sign` writes it) turned into the fixed-width r||s
// that the platform's verifier takes, the public point as hex text, where a file's signature is
// published, and the name a signature is bound to.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace net {

inline constexpr size_t kP256ScalarBytes = 32;
using RawSignature = std::array<uint8_t, 2 * kP256ScalarBytes>;    // r || s, big-endian
using PublicPoint = std::array<uint8_t, 1 + 2 * kP256ScalarBytes>; // 0x04 || X || Y

// Strict DER only: tag 0x30 with a short-form length that covers the rest exactly, then two
// INTEGERs (tag 0x02, short-form length) that fill it; each positive, non-zero, without a
// needless leading zero and at most 32 bytes of value. Anything else is not a signature.
std::optional<RawSignature> EcdsaDerToRaw(std::span<const uint8_t> der);

// The uncompressed point as 130 hex digits (either case, surrounding blanks ignored), as
// `openssl ec -pubout -outform DER | tail -c 65 | xxd -p` prints it (line breaks allowed); it
// must start with 04.
std::optional<PublicPoint> PublicPointFromHex(std::wstring_view hex);

// A signature's address: ".sig" after the path of the file's address, a query kept after it.
std::wstring SignatureUrlFor(std::wstring_view fileUrl);

// What a signature covers before the file's bytes: a fixed context, a NUL, the name the file is
// signed for as UTF-8 and a NUL. The signed digest is SHA-256 over this prefix and the bytes, so a
// signature made for one name (a game's client) never passes for another (the program itself).
inline constexpr std::string_view kSignatureContext = "TnVexa signed file";
std::string SignedMessagePrefix(std::wstring_view fileName);

} // namespace net
