// The reference of the start-up benchmark: the least a Win32 program does to show a window, a
// dialog from an in-memory template shown as it is created. It ends after the given number of
// milliseconds (default 10000) or when closed. With "chain" it plays a launcher of two
// processes instead: its own dialog, 1 x 1, starts a second copy that shows the dialog.
// Usage: min_dialog [chain] [lifetime ms]
#include <windows.h>

#include <cwchar>
#include <string>

#include "bench_copy_win.h"

namespace {

constexpr UINT_PTR kLifetimeTimer = 1;

struct Options {
    bool chain = false;
    UINT lifetime = 10000;
};

INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG: {
        const auto* options = reinterpret_cast<const Options*>(lParam);
        SetTimer(hwnd, kLifetimeTimer, options->lifetime, nullptr);
        if (options->chain) {
            SetWindowPos(hwnd, nullptr, 0, 0, 1, 1, SWP_NOZORDER | SWP_NOACTIVATE);
            bench::StartShowingCopy(std::to_wstring(options->lifetime));
        } else {
            SetWindowTextW(hwnd, L"TnVexa bench dialog");
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
        if (wcscmp(argv[i], L"chain") == 0)
            options.chain = true;
        else
            options.lifetime = static_cast<UINT>(_wtoi(argv[i]));
    }
    // A visible pop-up with a caption, about as large as the login backdrop, no controls.
    alignas(4) WORD tmpl[32] = {};
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE | DS_CENTER;
    tmpl[0] = LOWORD(style);
    tmpl[1] = HIWORD(style);
    tmpl[7] = 592; // width in dialog units
    tmpl[8] = 336; // height
    return static_cast<int>(DialogBoxIndirectParamW(GetModuleHandleW(nullptr),
                                                    reinterpret_cast<const DLGTEMPLATE*>(tmpl), nullptr,
                                                    DialogProc, reinterpret_cast<LPARAM>(&options)));
}
