// Skin images from the executable's resources: a "PNG" resource (or a bitmap resource of
// the same id) decoded into a bitmap whose transparent pixels carry the key colour.
#pragma once
#include <windows.h>
#include <commctrl.h>

namespace Gdiplus {
class Bitmap;
}

// The bitmap of a skin image, or null when the module has no such image or it cannot be
// decoded. The caller owns the bitmap.
HBITMAP LoadSkinImage(HINSTANCE instance, UINT id);

// The bitmap's width and height; 0 x 0 for no bitmap.
SIZE BitmapSize(HBITMAP bitmap);

// The header of a 32-bit BI_RGB DIB of width x height pixels; a negative height puts the top
// row first.
BITMAPINFO Dib32Info(int width, int height);

// A 32-bit bottom-up DIB section of the decoded image: opaque pixels keep their colour,
// fully transparent ones become key, partly transparent ones are composited over white.
// Null for an empty image or when its pixels cannot be read.
HBITMAP CreateKeyedBitmap(Gdiplus::Bitmap& image, COLORREF key);

// Adds a private copy of `bitmap` to the image list with `key` as the transparent colour and
// answers the first new image's index, or -1. The list's masking writes to the bitmap it is
// given (the key pixels turn black); the caller's bitmap must stay as it was, since skins are
// rebuilt from the same images again and again.
int AddMaskedCopy(HIMAGELIST list, HBITMAP bitmap, COLORREF key);
