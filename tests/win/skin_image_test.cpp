// Skin images: every image of the executable loads with its size and its transparency as
// the key colour; the keying rule on decoded pixels; bitmap resources before PNGs.
#include "ui/skin_image_win.h"

#include <objidl.h>
#include <gdiplus.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "base/handle_win.h"
#include "resource.h"

namespace {

constexpr uint32_t kMagenta = 0xFF00FF; // as a DIB pixel: 0x00RRGGBB

struct Pixels {
    int w = 0, h = 0, bits = 0;
    std::vector<uint32_t> px;
    uint32_t At(int x, int y) const { return px[static_cast<size_t>(y) * w + x] & 0xFFFFFF; }
};

Pixels Read(HBITMAP bmp) {
    Pixels out;
    BITMAP bm{};
    if (!GetObjectW(bmp, sizeof(bm), &bm)) return out;
    out.w = bm.bmWidth;
    out.h = bm.bmHeight;
    out.bits = bm.bmBitsPixel;
    out.px.resize(static_cast<size_t>(out.w) * out.h);
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), out.w, -out.h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bmp, 0, out.h, out.px.data(), &bi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return out;
}

HINSTANCE Self() {
    return GetModuleHandleW(nullptr);
}

} // namespace

TEST(LoadSkinImage, EveryImageOfTheExecutableHasItsSize) {
    struct Case {
        UINT id;
        int w, h;
    } cases[] = {
        {IDB_LOGIN_BACK, 888, 518},   {IDB_DLG_BACK, 30, 51},       {IDB_BTN_CLOSE, 132, 28},
        {IDB_BTN_TEXT, 228, 23},      {IDB_MAIN_BACK, 30, 51},      {IDB_BTN_MAXIMIZE, 108, 28},
        {IDB_BTN_MINIMIZE, 108, 28},  {IDB_BTN_RESTORE, 108, 28},   {IDB_BTN_HIDE, 108, 27},
        {IDB_BTN_SYSTEM, 176, 28},    {IDB_TAB, 567, 22},           {IDB_TAB_CLOSE, 39, 13},
        {IDB_PADLOCK, 14, 16},        {IDB_SOUND_OFF, 108, 27},     {IDB_SOUND_ON, 108, 27},
        {IDB_PROGRESS_BACK, 390, 21}, {IDB_PROGRESS_FILL, 390, 21}, {IDB_ADDACC_BACK, 284, 150},
    };
    for (const auto& c : cases) {
        base::Bitmap bmp(LoadSkinImage(Self(), c.id));
        ASSERT_TRUE(bmp) << c.id;
        const Pixels p = Read(bmp.Get());
        EXPECT_EQ(p.w, c.w) << c.id;
        EXPECT_EQ(p.h, c.h) << c.id;
        EXPECT_EQ(p.bits, 32) << c.id;
    }
}

TEST(LoadSkinImage, TransparentPixelsCarryTheKeyColourAndOpaqueOnesTheirOwn) {
    const Pixels back = Read(base::Bitmap(LoadSkinImage(Self(), IDB_DLG_BACK)).Get());
    ASSERT_EQ(back.w, 30);
    // Rounded top corners are cut out of the skin; the outline and the band are opaque.
    EXPECT_EQ(back.At(0, 0), kMagenta);
    EXPECT_EQ(back.At(29, 0), kMagenta);
    EXPECT_EQ(back.At(0, 50), kMagenta);
    EXPECT_NE(back.At(2, 0), kMagenta);
    EXPECT_NE(back.At(15, 15), kMagenta);
    EXPECT_NE(back.At(15, 40), kMagenta);

    const Pixels close = Read(base::Bitmap(LoadSkinImage(Self(), IDB_BTN_CLOSE)).Get());
    ASSERT_EQ(close.w, 132);
    EXPECT_EQ(close.At(2, 5), kMagenta);       // normal frame: only the glyph is drawn
    EXPECT_EQ(close.At(33 + 2, 5), 0xD63B3Bu); // hover frame: the red plate
    EXPECT_EQ(close.At(33 + 32, 5), kMagenta); // ...which leaves the window's outline alone

    const Pixels login = Read(base::Bitmap(LoadSkinImage(Self(), IDB_LOGIN_BACK)).Get());
    ASSERT_EQ(login.w, 888);
    EXPECT_EQ(login.At(0, 0), kMagenta);
    EXPECT_NE(login.At(444, 300), kMagenta);
}

TEST(LoadSkinImage, MissingImagesGiveNothing) {
    EXPECT_EQ(LoadSkinImage(nullptr, IDB_DLG_BACK), nullptr);
    EXPECT_EQ(LoadSkinImage(Self(), 999), nullptr);
    EXPECT_EQ(LoadSkinImage(Self(), 130), nullptr); // an id of other resources, not of an image
}

TEST(LoadSkinImage, ABitmapResourceOfTheSameIdWinsOverThePng) {
    // A copy of this executable with a 3 x 2 bitmap resource under the dialog skin's id.
    wchar_t self[MAX_PATH] = {}, temp[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    GetTempPathW(MAX_PATH, temp);
    const std::wstring copy = std::wstring(temp) + L"tnvexa_skin_bitmap_res.exe";
    ASSERT_TRUE(CopyFileW(self, copy.c_str(), FALSE));

    std::vector<BYTE> dib(sizeof(BITMAPINFOHEADER) + 2 * 12, 0x40); // 24-bit rows padded to 12 bytes
    const BITMAPINFOHEADER header{sizeof(BITMAPINFOHEADER), 3, 2, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    std::memcpy(dib.data(), &header, sizeof(header));
    HANDLE update = BeginUpdateResourceW(copy.c_str(), FALSE);
    ASSERT_NE(update, nullptr);
    ASSERT_TRUE(UpdateResourceW(update, RT_BITMAP, MAKEINTRESOURCEW(IDB_DLG_BACK),
                                MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), dib.data(),
                                static_cast<DWORD>(dib.size())));
    ASSERT_TRUE(EndUpdateResourceW(update, FALSE));

    HMODULE module = LoadLibraryExW(copy.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    {
        const Pixels replaced = Read(base::Bitmap(LoadSkinImage(module, IDB_DLG_BACK)).Get());
        EXPECT_EQ(replaced.w, 3);
        EXPECT_EQ(replaced.h, 2);
        EXPECT_EQ(replaced.At(1, 1), 0x404040u);
        const Pixels png = Read(base::Bitmap(LoadSkinImage(module, IDB_BTN_CLOSE)).Get());
        EXPECT_EQ(png.w, 132); // the other images still come from their PNGs
    }
    FreeLibrary(module);
    DeleteFileW(copy.c_str());
}

TEST(CreateKeyedBitmap, OpaqueKeptTransparentKeyedPartlyTransparentOverWhite) {
    Gdiplus::Bitmap image(3, 2, PixelFormat32bppARGB);
    image.SetPixel(0, 0, Gdiplus::Color(128, 0, 0, 0));
    image.SetPixel(1, 0, Gdiplus::Color(0, 10, 200, 30));
    image.SetPixel(2, 0, Gdiplus::Color(255, 10, 20, 30));
    image.SetPixel(0, 1, Gdiplus::Color(255, 0, 0, 255));
    image.SetPixel(1, 1, Gdiplus::Color(64, 255, 0, 0));
    image.SetPixel(2, 1, Gdiplus::Color(255, 255, 0, 255));
    base::Bitmap keyed(CreateKeyedBitmap(image, RGB(255, 0, 255)));
    ASSERT_TRUE(keyed);
    const Pixels p = Read(keyed.Get());
    ASSERT_EQ(p.w, 3);
    ASSERT_EQ(p.h, 2);
    EXPECT_EQ(p.At(0, 0), 0x7F7F7Fu); // alpha 128 black -> grey 127
    EXPECT_EQ(p.At(1, 0), kMagenta);
    EXPECT_EQ(p.At(2, 0), 0x0A141Eu);
    EXPECT_EQ(p.At(0, 1), 0x0000FFu); // the image keeps its orientation
    EXPECT_EQ(p.At(1, 1), 0xFFBFBFu); // (64 * (255 - 255) + 65025) / 255, (64 * -255 + 65025) / 255
    EXPECT_EQ(p.At(2, 1), kMagenta);
}

TEST(Icons, ApplicationAndFavouriteIconsLoadInBothSizes) {
    for (UINT id : {IDI_APP, IDI_SMALL}) {
        for (int size : {16, 32}) {
            HICON icon =
                static_cast<HICON>(LoadImageW(Self(), MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0));
            ASSERT_NE(icon, nullptr) << id << " " << size;
            ICONINFO info{};
            ASSERT_TRUE(GetIconInfo(icon, &info));
            BITMAP bm{};
            GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(bm), &bm);
            EXPECT_EQ(bm.bmWidth, size);
            if (info.hbmColor) DeleteObject(info.hbmColor);
            if (info.hbmMask) DeleteObject(info.hbmMask);
            DestroyIcon(icon);
        }
    }
}
