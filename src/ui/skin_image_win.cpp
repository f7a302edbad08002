// Skin images from resources through GDI+.
#include "ui/skin_image_win.h"

#include <objidl.h>
#include <gdiplus.h>

#include <cstring>
#include <memory>

#include "base/handle_win.h"
#include "fw/library_init_win.h"
#include "fw/resource_stream_win.h"
#include "ui/keyed_pixel.h"

static_assert(ui::kKeyColorRef == RGB(255, 0, 255));

BITMAPINFO Dib32Info(int width, int height) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    return bi;
}

HBITMAP CreateKeyedBitmap(Gdiplus::Bitmap& image, COLORREF key) {
    const int w = static_cast<int>(image.GetWidth()), h = static_cast<int>(image.GetHeight());
    if (w <= 0 || h <= 0) return nullptr;

    const BITMAPINFO bi = Dib32Info(w, h); // bottom-up
    void* bits = nullptr;
    HDC screen = ::GetDC(nullptr);
    base::Bitmap dib(::CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    ::ReleaseDC(nullptr, screen);
    if (!dib || !bits) return nullptr;

    Gdiplus::Rect rect(0, 0, w, h);
    Gdiplus::BitmapData data{};
    if (image.LockBits(&rect, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &data) != Gdiplus::Ok) {
        return nullptr;
    }
    if (!data.Scan0) {
        image.UnlockBits(&data);
        return nullptr;
    }
    ui::KeyPixels(static_cast<const uint8_t*>(data.Scan0), data.Stride, w, h, static_cast<uint32_t*>(bits),
                  key);
    image.UnlockBits(&data);
    ::GdiFlush();
    return dib.Release();
}

HBITMAP LoadSkinImage(HINSTANCE instance, UINT id) {
    if (!instance) return nullptr;
    // GDI+ for the duration of one load; the process may have started it too (it counts).
    const fw::GdiplusSession gdiplus = fw::GdiplusSession::Start();
    if (!gdiplus.Ok()) return nullptr;

    // A bitmap resource of the same id wins: it can replace a picture without a decoder.
    if (::FindResourceW(instance, MAKEINTRESOURCEW(id), RT_BITMAP)) {
        return static_cast<HBITMAP>(
            ::LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    }
    const HRSRC res = ::FindResourceW(instance, MAKEINTRESOURCEW(id), L"PNG");
    if (!res) return nullptr;
    base::ComPtr<IStream> stream = fw::ResourceStream(instance, res);
    if (!stream) return nullptr;

    // The decoded image must go before the stream it reads from, and both before GDI+ stops.
    std::unique_ptr<Gdiplus::Bitmap> image(Gdiplus::Bitmap::FromStream(stream.Get()));
    if (!image || image->GetLastStatus() != Gdiplus::Ok) return nullptr;
    HBITMAP result = CreateKeyedBitmap(*image, ui::kKeyColorRef);
    if (!result) {
        // The library's own conversion, with the key colour behind transparent pixels.
        if (image->GetHBITMAP(Gdiplus::Color(0xFF, 0xFF, 0x00, 0xFF), &result) != Gdiplus::Ok)
            result = nullptr;
    }
    return result;
}

int AddMaskedCopy(HIMAGELIST list, HBITMAP bitmap, COLORREF key) {
    BITMAP info{};
    if (!list || !bitmap || !::GetObjectW(bitmap, sizeof(info), &info) || info.bmWidth <= 0 ||
        info.bmHeight <= 0)
        return -1;
    HDC screen = ::GetDC(nullptr);
    base::Bitmap copy(::CreateCompatibleBitmap(screen, info.bmWidth, info.bmHeight));
    base::MemoryDC src(::CreateCompatibleDC(screen)), dst(::CreateCompatibleDC(screen));
    ::ReleaseDC(nullptr, screen);
    if (!copy || !src || !dst) return -1;
    {
        base::SelectedObject s(src.Get(), bitmap), d(dst.Get(), copy.Get());
        ::BitBlt(dst.Get(), 0, 0, info.bmWidth, info.bmHeight, src.Get(), 0, 0, SRCCOPY);
    }
    return ::ImageList_AddMasked(list, copy.Get(), key);
}

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP info{};
    if (!bitmap || !::GetObjectW(bitmap, sizeof(info), &info)) return {0, 0};
    return {info.bmWidth, info.bmHeight};
}
