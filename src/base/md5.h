// MD5 message digest (RFC 1321): the digest behind the release keys of the self-update.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "base/digest_blocks.h"

namespace base {

class Md5 {
public:
    Md5();
    void Update(const void* data, size_t size);
    void Update(std::string_view bytes) { Update(bytes.data(), bytes.size()); }
    // Finishes the digest; the object must be Reset before it is used again.
    std::array<uint8_t, 16> Final();
    void Reset();

private:
    friend class Md5AndSha256;
    void Transform(const uint8_t* blocks, size_t count);

    std::array<uint32_t, 4> m_state{};
    DigestBlocks m_blocks;
};

// The digest as 32 lowercase hexadecimal digits, two per byte.
std::wstring Md5Hex(const std::array<uint8_t, 16>& digest);

// Digest of a byte string, as lowercase hexadecimal digits.
std::wstring Md5HexOf(std::string_view bytes);

// Digest of a file read from the start; empty when the file can't be opened or read to its end.
std::wstring Md5FileHex(const std::filesystem::path& path);

} // namespace base
