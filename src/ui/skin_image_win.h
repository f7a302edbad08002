// Skin images from the executable's resources: a "PNG" resource (or a bitmap resource of
// the same id) decoded into a bitmap whose transparent pixels carry the key colour.
#pragma once
#include <windows.h>

namespace Gdiplus {
class Bitmap;
}

// The bitmap of a skin image, or null when the module has no such image or it cannot be
// decoded. The caller owns the bitmap.
HBITMAP LoadSkinImage(HINSTANCE instance, UINT id);

// A 32-bit bottom-up DIB section of the decoded image: opaque pixels keep their colour,
// fully transparent ones become key, partly transparent ones are composited over white.
// Null for an empty image or when its pixels cannot be read.
HBITMAP CreateKeyedBitmap(Gdiplus::Bitmap& image, COLORREF key);
