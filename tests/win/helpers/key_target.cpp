// A program that holds the keyboard in the e2e tests: a visible window whose title says whether it
// is the active window and lists the virtual keys of the key-downs it received,
// "TnVexa key target (active): 121 81 ...". A click makes it the foreground window. It lets F10
// and Alt be plain keys (no window menu) and ends on WM_CLOSE.
#include <windows.h>

#include <string>

namespace {

std::wstring g_keys;
bool g_active = false;

void ShowState(HWND hwnd) {
    const std::wstring title =
        std::wstring(L"TnVexa key target") + (g_active ? L" (active)" : L"") + L":" + g_keys;
    SetWindowTextW(hwnd, title.c_str());
}

LRESULT CALLBACK TargetProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (g_keys.size() < 400) g_keys += L" " + std::to_wstring(wParam);
        ShowState(hwnd);
        return 0;
    case WM_SYSKEYUP:
        return 0;
    case WM_ACTIVATE:
        g_active = LOWORD(wParam) != WA_INACTIVE;
        ShowState(hwnd);
        break;
    case WM_LBUTTONDOWN:
        // Keys go to the foreground window, which a click alone does not make it here.
        SetForegroundWindow(hwnd);
        SetFocus(hwnd);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

} // namespace

int wmain() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = TargetProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = L"TnVexaKeyTarget";
    RegisterClassW(&wc);
    // Topmost in the bottom-right corner, clear of the login screen and above the main window.
    HWND hwnd = CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"TnVexa key target:",
                                WS_OVERLAPPEDWINDOW | WS_VISIBLE, 1250, 780, 330, 200, nullptr, nullptr,
                                wc.hInstance, nullptr);
    if (!hwnd) return 1;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
