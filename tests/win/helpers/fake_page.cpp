// Plays a page process for the main window's tests. Started as "/newgm /<main window> /<tabs>",
// it registers its label with WM_COPYDATA, then makes a coloured window and announces it, places
// and shows itself like a loaded page once the main window has become its parent, and ends on
// SC_CLOSE or when the main window is gone. Without arguments (a "new window") it ends at once.
// Environment:
//   TNVEXA_FAKE_PAGE_LABEL  the label (default "<tabs>服-fake-player<tabs>")
//   TNVEXA_FAKE_PAGE_COLOR  the page colour as RRGGBB hex (default 3070C0)
//   TNVEXA_FAKE_PAGE_MODE   "" a page; "hall" the hall page (no label); "login" stays at its login
//                           and makes no window; "cancel" gives the login up (WM_PAGEREQUEST)
//   TNVEXA_FAKE_PAGE_LOG    a file that gets one line per start: the command line and priority
//   TNVEXA_FAKE_PAGE_HOLD   the name of an event: once its label is accepted the page holds the
//                           main window with a dialog "hold <label>", as its login screen does,
//                           until the event is set (at most a minute), and only then announces
//                           its page
// What the page received shows in its window text: "mute=<last> mutes=<n> f5=<n> ctrld=<n>
// reload=<n>".
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/page_protocol.h"

namespace {

constexpr UINT kPageCreated = 0x402, kPageMute = 0x405, kReloadHotkeys = 0x407;
constexpr UINT_PTR kParentWatch = 2, kLifetime = 9;

HWND g_parent = nullptr;
COLORREF g_color = RGB(0x30, 0x70, 0xC0);
std::wstring g_label;
int g_lastMute = -1, g_mutes = 0, g_f5 = 0, g_ctrlD = 0, g_reloads = 0;
LONG g_muteTime = 0; // when the last mute message was posted (its message time)

std::wstring Env(const wchar_t* name) {
    wchar_t value[512] = {};
    const DWORD n = GetEnvironmentVariableW(name, value, 512);
    return n > 0 && n < 512 ? std::wstring(value, n) : std::wstring();
}

void ShowCounts(HWND hwnd) {
    wchar_t text[128];
    swprintf(text, 128, L"mute=%d mutes=%d f5=%d ctrld=%d reload=%d mutetime=%ld", g_lastMute, g_mutes, g_f5,
             g_ctrlD, g_reloads, g_muteTime);
    SetWindowTextW(hwnd, text);
}

// Where a loaded page puts itself: the main window's content area.
void PlaceInParent(HWND hwnd) {
    RECT rc{};
    GetClientRect(g_parent, &rc);
    MoveWindow(hwnd, 4, 30, rc.right - 8, rc.bottom - 34, TRUE);
    ShowWindow(hwnd, SW_SHOW);
}

LRESULT CALLBACK PageProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT rc;
        GetClientRect(hwnd, &rc);
        HBRUSH brush = CreateSolidBrush(g_color);
        FillRect(dc, &rc, brush);
        DeleteObject(brush);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(255, 255, 255));
        TextOutW(dc, 20, 20, g_label.c_str(), static_cast<int>(g_label.size()));
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_TIMER:
        if ((wParam == kParentWatch && !IsWindow(g_parent)) || wParam == kLifetime) {
            DestroyWindow(hwnd);
        }
        return 0;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE) {
            DestroyWindow(hwnd);
            return 0;
        }
        break;
    case WM_KEYDOWN:
        if (wParam == VK_F5) ++g_f5;
        ShowCounts(hwnd);
        return 0;
    case WM_CHAR:
        if (wParam == 4) ++g_ctrlD;
        ShowCounts(hwnd);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        if (msg == kPageMute) {
            g_lastMute = static_cast<int>(wParam);
            ++g_mutes;
            g_muteTime = GetMessageTime();
            ShowCounts(hwnd);
            return 0;
        }
        if (msg == base::WM_PAGEADOPTED) {
            PlaceInParent(hwnd);
            return 0;
        }
        if (msg == kReloadHotkeys) {
            ++g_reloads;
            ShowCounts(hwnd);
            return 0;
        }
        break;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (const std::wstring log = Env(L"TNVEXA_FAKE_PAGE_LOG"); !log.empty()) {
        if (FILE* f = _wfopen(log.c_str(), L"a, ccs=UTF-8")) {
            fwprintf(f, L"%ls|prio=0x%lx\n", GetCommandLineW(), GetPriorityClass(GetCurrentProcess()));
            fclose(f);
        }
    }
    if (argc < 4 || lstrcmpW(argv[1], L"/newgm") != 0) return 0;
    g_parent = reinterpret_cast<HWND>(static_cast<INT_PTR>(_wtoi64(argv[2] + 1)));
    const int tabs = _wtoi(argv[3] + 1);
    const std::wstring mode = Env(L"TNVEXA_FAKE_PAGE_MODE");
    if (const std::wstring color = Env(L"TNVEXA_FAKE_PAGE_COLOR"); !color.empty()) {
        const unsigned long rgb = wcstoul(color.c_str(), nullptr, 16);
        g_color = RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
    }
    g_label = Env(L"TNVEXA_FAKE_PAGE_LABEL");
    if (g_label.empty()) g_label = std::to_wstring(tabs) + L"服-fake-player" + std::to_wstring(tabs);

    const auto cancelLogin = [] {
        PostMessageW(g_parent, base::WM_PAGEREQUEST, static_cast<WPARAM>(base::PageRequest::LoginCancelled),
                     static_cast<LPARAM>(GetCurrentProcessId()));
    };
    if (mode == L"cancel") {
        cancelLogin();
        return 0;
    }
    if (mode == L"login") {
        // A login page the player never finishes: it lives as long as the main window.
        for (int i = 0; i < 600 && IsWindow(g_parent); ++i)
            Sleep(100);
        return 0;
    }
    const bool hall = mode == L"hall";
    WNDCLASSW wc{};
    wc.lpfnWndProc = PageProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = L"TnVexaFakePage";
    RegisterClassW(&wc);
    HWND page = CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr,
                                wc.hInstance, nullptr);
    if (!page) return 1;
    ShowCounts(page);
    if (!hall) {
        // The label names the sending window: the main window pairs it with this process's page.
        COPYDATASTRUCT data{};
        data.cbData = static_cast<DWORD>((g_label.size() + 1) * sizeof(wchar_t));
        data.lpData = const_cast<wchar_t*>(g_label.c_str());
        DWORD_PTR accepted = 0;
        if (!SendMessageTimeoutW(g_parent, WM_COPYDATA, reinterpret_cast<WPARAM>(page),
                                 reinterpret_cast<LPARAM>(&data), SMTO_NORMAL, 10000, &accepted) ||
            accepted == 0) {
            cancelLogin();
            return 0;
        }
    }
    if (const std::wstring hold = Env(L"TNVEXA_FAKE_PAGE_HOLD"); !hold.empty()) {
        // As the program's own modal dialogs: the owner disabled only if it was enabled, and
        // given back only then.
        const bool enableOwner = IsWindowEnabled(g_parent);
        if (enableOwner) EnableWindow(g_parent, FALSE);
        HWND screen = CreateWindowExW(0, L"#32770", (L"hold " + g_label).c_str(), WS_POPUP | WS_VISIBLE, 0, 0,
                                      100, 40, g_parent, nullptr, nullptr, nullptr);
        if (HANDLE event = OpenEventW(SYNCHRONIZE, FALSE, hold.c_str())) {
            WaitForSingleObject(event, 60000);
            CloseHandle(event);
        }
        if (enableOwner) EnableWindow(g_parent, TRUE);
        DestroyWindow(screen);
    }

    // The frame goes and the window says so; the main window becomes its parent.
    SetWindowLongPtrW(page, GWL_STYLE, WS_CHILD | WS_CLIPCHILDREN);
    PostMessageW(g_parent, kPageCreated, reinterpret_cast<WPARAM>(page), hall ? 1 : 0);
    SetTimer(page, kParentWatch, 200, nullptr);
    SetTimer(page, kLifetime, 120000, nullptr);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
