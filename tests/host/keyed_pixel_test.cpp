#include "ui/keyed_pixel.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(KeyedPixel, OpaqueKeptTransparentKeyedPartialOverWhite) {
    struct Case {
        uint32_t argb;
        uint32_t expected;
    } cases[] = {
        {0xFF102030, 0x102030}, // opaque: colour kept, fourth byte cleared
        {0xFFFF00FF, 0xFF00FF}, // an opaque magenta pixel stays magenta (and transparent)
        {0x00123456, 0xFF00FF}, // fully transparent: the key colour, whatever it held
        {0x80000000, 0x7F7F7F}, // half-transparent black over white
        {0x80FF0000, 0xFF7F7F}, // half-transparent red
        {0x01000000, 0xFEFEFE}, // almost transparent
        {0xFE000000, 0x010101}, // almost opaque: (254 * -255 + 65025) / 255 = 1
        {0x80FFFFFF, 0xFFFFFF}, // white stays white at any alpha
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ui::KeyedPixel(c.argb, ui::kKeyColorRef), c.expected) << std::hex << c.argb;
    }
}

TEST(KeyedPixel, KeyColourIsAColorRef) {
    // COLORREF 0x00BBGGRR: RGB(1, 2, 3) is 0x030201; in the DIB pixel R is the high byte.
    EXPECT_EQ(ui::KeyedPixel(0x00FFFFFF, 0x030201), 0x010203u);
}

TEST(KeyPixels, KeepsOrientationInABottomUpBitmapAndHonoursTheStride) {
    // Two rows of two pixels, each row padded to 12 bytes.
    const uint32_t top[2] = {0xFF0000FF, 0x00000000};
    const uint32_t bottom[2] = {0xFF00FF00, 0x80000000};
    uint8_t src[24] = {};
    std::memcpy(src, top, 8);
    std::memcpy(src + 12, bottom, 8);
    uint32_t dst[4] = {};
    ui::KeyPixels(src, 12, 2, 2, dst, ui::kKeyColorRef);
    EXPECT_EQ(dst[0], 0x00FF00u); // first DIB row is the image's last row
    EXPECT_EQ(dst[1], 0x7F7F7Fu);
    EXPECT_EQ(dst[2], 0x0000FFu);
    EXPECT_EQ(dst[3], 0xFF00FFu);
}
