// A reference of the start-up benchmark: the work any login screen of this kind must do before
// its picture shows, in a launcher of two processes and nothing more. The first copy's dialog,
// 1 x 1, starts a second copy; that one starts OLE (its page is a browser control), the common
// controls and GDI+, decodes the backdrop PNG from its resources and shows it as a layered
// window titled "TnVexa bench dialog". It ends after the given milliseconds or when closed.
// Usage: min_login [shown] [lifetime ms]
#include <windows.h>
#include <commctrl.h>
#include <objidl.h>
#include <gdiplus.h>
#include <ole2.h>

#include <memory>
#include <string>

#include "bench_copy_win.h"

#include "fw/library_init_win.h"
#include "fw/resource_stream_win.h"
#include "resource.h"

namespace {

// The backdrop picture, premultiplied, put on the layered window at its place.
void ShowPicture(HWND hwnd) {
    base::ComPtr<IStream> stream = fw::ResourceStream(GetModuleHandleW(nullptr), IDB_LOGIN_BACK, L"PNG");
    if (!stream) return;
    std::unique_ptr<Gdiplus::Bitmap> image(Gdiplus::Bitmap::FromStream(stream.Get()));
    if (!image || image->GetLastStatus() != Gdiplus::Ok) return;
    const int width = static_cast<int>(image->GetWidth()), height = static_cast<int>(image->GetHeight());
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    base::Bitmap dib(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dib || !bits) return;
    Gdiplus::Rect rect(0, 0, width, height);
    Gdiplus::BitmapData data{};
    data.Width = static_cast<UINT>(width);
    data.Height = static_cast<UINT>(height);
    data.Stride = width * 4;
    data.PixelFormat = PixelFormat32bppPARGB;
    data.Scan0 = bits;
    if (image->LockBits(&rect, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf,
                        PixelFormat32bppPARGB, &data) != Gdiplus::Ok)
        return;
    image->UnlockBits(&data);
    SetWindowLongPtrW(hwnd, GWL_EXSTYLE, GetWindowLongPtrW(hwnd, GWL_EXSTYLE) | WS_EX_LAYERED);
    base::MemoryDC memory(CreateCompatibleDC(nullptr));
    base::SelectedObject selected(memory.Get(), dib.Get());
    RECT rc{};
    GetWindowRect(hwnd, &rc);
    POINT position{rc.left, rc.top}, source{0, 0};
    SIZE size{width, height};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    base::WindowDC screen(nullptr);
    UpdateLayeredWindow(hwnd, screen.Get(), &position, &size, memory.Get(), &source, 0, &blend, ULW_ALPHA);
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const bench::Arguments arguments = bench::ParseArguments(argc, argv, L"shown"); // the second copy
    fw::ComSession ole;
    fw::GdiplusSession gdiplus;
    if (arguments.mode) {
        ole = fw::ComSession::StartOle();
        INITCOMMONCONTROLSEX icc{sizeof(icc), 0xFF};
        InitCommonControlsEx(&icc);
        gdiplus = fw::GdiplusSession::Start();
    }
    bench::Dialog dialog;
    dialog.style = WS_POPUP | WS_VISIBLE | DS_CENTER;
    dialog.lifetime = arguments.lifetime;
    dialog.startsCopy = !arguments.mode;
    dialog.copyArguments = L"shown " + std::to_wstring(arguments.lifetime);
    dialog.show = ShowPicture;
    return bench::RunDialog(dialog);
}
