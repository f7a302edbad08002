// Straight-alpha pixels to opaque, key-coloured pixels.
#include "ui/keyed_pixel.h"

#include <cstddef>
#include <cstring>

namespace ui {

uint32_t KeyedPixel(uint32_t argb, uint32_t keyColorRef) {
    const uint32_t a = argb >> 24;
    if (a == 255) {
        return argb & 0x00FFFFFF;
    }
    if (a == 0) {
        // COLORREF is R in the low byte; the DIB pixel has B there.
        const uint32_t r = keyColorRef & 0xFF, g = (keyColorRef >> 8) & 0xFF, b = (keyColorRef >> 16) & 0xFF;
        return (r << 16) | (g << 8) | b;
    }
    // Over white: (a * (c - 255) + 65025) / 255, rearranged to stay unsigned.
    auto blend = [a](uint32_t c) { return (a * c + 255 * (255 - a)) / 255; };
    const uint32_t r = blend((argb >> 16) & 0xFF), g = blend((argb >> 8) & 0xFF), b = blend(argb & 0xFF);
    return (r << 16) | (g << 8) | b;
}

void KeyPixels(const uint8_t* src, int srcStride, int width, int height, uint32_t* dst,
               uint32_t keyColorRef) {
    for (int i = 0; i < height; ++i) {
        const uint8_t* row = src + static_cast<ptrdiff_t>(i) * srcStride;
        uint32_t* out = dst + static_cast<ptrdiff_t>(height - 1 - i) * width;
        for (int j = 0; j < width; ++j) {
            uint32_t px;
            std::memcpy(&px, row + 4 * j, 4); // little-endian B, G, R, A
            out[j] = KeyedPixel(px, keyColorRef);
        }
    }
}

} // namespace ui
