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

#include <cwchar>
#include <memory>
#include <string>

#include "bench_copy_win.h"

#include "fw/library_init_win.h"
#include "fw/resource_stream_win.h"
#include "resource.h"

namespace {

constexpr UINT_PTR kLifetimeTimer = 1;

struct Options {
    bool shown = false; // the second copy
    UINT lifetime = 10000;
};

// The backdrop picture, premultiplied, put on the layered window at its place.
void ShowPicture(HWND hwnd) {
    fw::ComPtr<IStream> stream = fw::ResourceStream(GetModuleHandleW(nullptr), IDB_LOGIN_BACK, L"PNG");
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
    fw::Bitmap dib(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
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
    fw::MemoryDC memory(CreateCompatibleDC(nullptr));
    fw::SelectedObject selected(memory.Get(), dib.Get());
    RECT rc{};
    GetWindowRect(hwnd, &rc);
    POINT position{rc.left, rc.top}, source{0, 0};
    SIZE size{width, height};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    fw::WindowDC screen(nullptr);
    UpdateLayeredWindow(hwnd, screen.Get(), &position, &size, memory.Get(), &source, 0, &blend, ULW_ALPHA);
}

INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG: {
        const auto* options = reinterpret_cast<const Options*>(lParam);
        SetTimer(hwnd, kLifetimeTimer, options->lifetime, nullptr);
        if (!options->shown) {
            SetWindowPos(hwnd, nullptr, 0, 0, 1, 1, SWP_NOZORDER | SWP_NOACTIVATE);
            bench::StartShowingCopy(L"shown " + std::to_wstring(options->lifetime));
        } else {
            SetWindowTextW(hwnd, L"TnVexa bench dialog");
            ShowPicture(hwnd);
        }
        return TRUE;
    }
    case WM_TIMER:
    case WM_CLOSE:
        EndDialog(hwnd, 0);
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        if (wcscmp(argv[i], L"shown") == 0)
            options.shown = true;
        else
            options.lifetime = static_cast<UINT>(_wtoi(argv[i]));
    }
    fw::ComSession ole;
    fw::GdiplusSession gdiplus;
    if (options.shown) {
        ole = fw::ComSession::StartOle();
        INITCOMMONCONTROLSEX icc{sizeof(icc), 0xFF};
        InitCommonControlsEx(&icc);
        gdiplus = fw::GdiplusSession::Start();
    }
    alignas(4) WORD tmpl[32] = {};
    const DWORD style = WS_POPUP | WS_VISIBLE | DS_CENTER;
    tmpl[0] = LOWORD(style);
    tmpl[1] = HIWORD(style);
    tmpl[7] = 592; // width in dialog units
    tmpl[8] = 336; // height
    return static_cast<int>(DialogBoxIndirectParamW(GetModuleHandleW(nullptr),
                                                    reinterpret_cast<const DLGTEMPLATE*>(tmpl), nullptr,
                                                    DialogProc, reinterpret_cast<LPARAM>(&options)));
}
