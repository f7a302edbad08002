// What every fuzz target needs: a check that stops the fuzzer on the spot, and the fuzzer's bytes
// read as UTF-16 text (little-endian pairs; an odd last byte is dropped).
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz {

inline void Require(bool condition) {
    if (!condition) __builtin_trap();
}

inline std::wstring ToText(const uint8_t* data, size_t size) {
    std::wstring text;
    text.reserve(size / 2);
    for (size_t i = 0; i + 1 < size; i += 2)
        text += static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
    return text;
}

} // namespace fuzz
