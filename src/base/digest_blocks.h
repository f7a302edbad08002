// The 64-byte block framing that MD5 and SHA-256 share: bytes are buffered into whole blocks, and
// the message ends with 0x80, zeros and its length in bits. Only the byte order of that length and
// the block function differ between the two.
#pragma once
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace base {

class DigestBlocks {
public:
    enum class LengthOrder { LittleEndian, BigEndian };

    // Hands `transform(blocks, count)` every whole block, straight from the caller's bytes where
    // it can (no copy), and keeps the rest for the next call.
    template <class Transform> void Feed(const void* data, size_t size, Transform&& transform) {
        auto* p = static_cast<const uint8_t*>(data);
        m_length += size;
        if (m_buffered > 0) {
            const size_t take = std::min(size, m_buffer.size() - m_buffered);
            std::memcpy(m_buffer.data() + m_buffered, p, take);
            m_buffered += take;
            p += take;
            size -= take;
            if (m_buffered < m_buffer.size()) return;
            transform(m_buffer.data(), size_t{1});
            m_buffered = 0;
        }
        if (size >= 64) transform(p, size / 64);
        p += size / 64 * 64;
        size %= 64;
        if (size > 0) std::memcpy(m_buffer.data(), p, size);
        m_buffered = size;
    }

    // Pads the message and feeds its length; the digest is then in the caller's state.
    template <class Transform> void Finish(LengthOrder order, Transform&& transform) {
        const uint64_t bits = m_length * 8;
        static const uint8_t kPad[64] = {0x80};
        Feed(kPad, m_buffered < 56 ? 56 - m_buffered : 120 - m_buffered, transform);
        uint8_t tail[8];
        for (int i = 0; i < 8; ++i)
            tail[i] = uint8_t(bits >> (order == LengthOrder::LittleEndian ? 8 * i : 56 - 8 * i));
        Feed(tail, 8, transform);
    }

    // Bytes until the next block boundary (0 when none is held).
    size_t ToBoundary() const { return m_buffered == 0 ? 0 : m_buffer.size() - m_buffered; }
    // Counts whole blocks that the caller transformed itself at a boundary (ToBoundary() == 0).
    void CountWhole(size_t blocks) { m_length += 64 * blocks; }

    void Reset() {
        m_length = 0;
        m_buffered = 0;
    }

private:
    uint64_t m_length = 0; // bytes fed so far
    std::array<uint8_t, 64> m_buffer{};
    size_t m_buffered = 0;
};

} // namespace base
