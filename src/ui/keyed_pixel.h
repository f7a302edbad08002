// The rule that turns straight-alpha image pixels into the opaque, key-coloured pixels
// the skin is drawn with (the platform's image lists and transparent blits know only
// "opaque" and "exactly the key colour").
#pragma once

#include <cstdint>

namespace ui {

// RGB(255, 0, 255) as a COLORREF (0x00BBGGRR): transparent in every skin image.
inline constexpr uint32_t kKeyColorRef = 0x00FF00FF;

// One pixel: argb is 0xAARRGGBB (the B, G, R, A bytes of a 32-bit ARGB image); the result
// is 0x00RRGGBB (B, G, R and a zero fourth byte). Opaque pixels keep their colour, fully
// transparent ones become keyColorRef, the rest are composited over white.
uint32_t KeyedPixel(uint32_t argb, uint32_t keyColorRef);

// A whole image: src holds height rows from the top, each srcStride bytes apart; dst is a
// bottom-up 32-bit DIB of width x height (row 0 is the image's last row).
void KeyPixels(const uint8_t* src, int srcStride, int width, int height, uint32_t* dst, uint32_t keyColorRef);

} // namespace ui
