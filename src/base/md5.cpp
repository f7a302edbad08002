#include "base/md5.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "base/md5_steps.h"

namespace base {

Md5::Md5() {
    Reset();
}

void Md5::Reset() {
    std::memcpy(m_state.data(), md5_steps::kInit, sizeof(md5_steps::kInit));
    m_blocks.Reset();
}

void Md5::Transform(const uint8_t* blocks, size_t count) {
    uint32_t a = m_state[0], b = m_state[1], c = m_state[2], d = m_state[3];
    for (; count > 0; --count, blocks += 64) {
        const uint32_t a0 = a, b0 = b, c0 = c, d0 = d;
#pragma GCC unroll 16
        for (int k = 0; k < 16; ++k)
            md5_steps::FourSteps(k, a, b, c, d, blocks);
        a += a0;
        b += b0;
        c += c0;
        d += d0;
    }
    m_state = {a, b, c, d};
}

void Md5::Update(const void* data, size_t size) {
    m_blocks.Feed(data, size, [this](const uint8_t* blocks, size_t count) { Transform(blocks, count); });
}

std::array<uint8_t, 16> Md5::Final() {
    m_blocks.Finish(DigestBlocks::LengthOrder::LittleEndian,
                    [this](const uint8_t* blocks, size_t count) { Transform(blocks, count); });
    std::array<uint8_t, 16> digest{};
    for (int i = 0; i < 16; ++i)
        digest[i] = uint8_t(m_state[i / 4] >> (8 * (i % 4)));
    return digest;
}

std::wstring Md5Hex(const std::array<uint8_t, 16>& digest) {
    static const wchar_t kDigits[] = L"0123456789abcdef";
    std::wstring out;
    out.reserve(32);
    for (uint8_t b : digest) {
        out += kDigits[b >> 4];
        out += kDigits[b & 15];
    }
    return out;
}

std::wstring Md5HexOf(std::string_view bytes) {
    Md5 md5;
    md5.Update(bytes);
    return Md5Hex(md5.Final());
}

namespace {
constexpr size_t kFileBlock = 1 << 20;
} // namespace

std::wstring Md5FileHex(const std::filesystem::path& path) {
#ifdef _WIN32
    std::unique_ptr<FILE, int (*)(FILE*)> file(_wfopen(path.c_str(), L"rb"), &std::fclose);
#else
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
#endif
    if (!file) return {};
    // Large reads: the digest is the same as over the 1024-byte blocks of the key rule, and a
    // call into the file system costs more than hashing a few kilobytes.
    std::setvbuf(file.get(), nullptr, _IONBF, 0);
    Md5 md5;
    std::vector<char> block(kFileBlock);
    size_t n;
    while ((n = std::fread(block.data(), 1, block.size(), file.get())) > 0)
        md5.Update(block.data(), n);
    if (std::ferror(file.get())) return {};
    return Md5Hex(md5.Final());
}

} // namespace base
