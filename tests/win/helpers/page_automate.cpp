// The e2e tests' driver of page processes started with the "Automation" test switch:
//   page_automate.exe login <url> [timeout ms]   the login page of every login screen
//   page_automate.exe frame <url> [timeout ms]   every page window (also inside a main window)
//   page_automate.exe tone - [timeout ms]        every page window, whose process plays a tone
// asks the page's browser to navigate to url (or its process to play the tone), waiting up to
// the timeout (default 10000) for such a window. Exit code 0 when at least one window accepted
// the request (a tone: played it to its end), 1 otherwise.
#include <windows.h>

#include <cwchar>
#include <string>
#include <vector>

#include "fw/sdi_win.h"
#include "web/automation_channel.h"

namespace {

bool IsDialog(HWND hwnd) {
    wchar_t cls[16] = {};
    ::GetClassNameW(hwnd, cls, 16);
    return std::wstring(cls) == L"#32770";
}

// The login page: a layered tool-window dialog owned by the layered backdrop dialog.
bool IsLoginPage(HWND hwnd) {
    const HWND owner = ::GetWindow(hwnd, GW_OWNER);
    const LONG_PTR ex = ::GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
    return owner && IsDialog(hwnd) && IsDialog(owner) && (ex & WS_EX_LAYERED) && (ex & WS_EX_TOOLWINDOW) &&
           (::GetWindowLongPtrW(owner, GWL_EXSTYLE) & WS_EX_LAYERED);
}

bool IsPageFrame(HWND hwnd) {
    wchar_t cls[32] = {};
    ::GetClassNameW(hwnd, cls, 32);
    return std::wstring(cls) == CFrameWnd::kClassName;
}

struct Search {
    bool login;
    std::vector<HWND> found;
};

BOOL CALLBACK Visit(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    if (search->login ? IsLoginPage(hwnd) : IsPageFrame(hwnd)) search->found.push_back(hwnd);
    return TRUE;
}

BOOL CALLBACK VisitTop(HWND hwnd, LPARAM param) {
    Visit(hwnd, param);
    // Page windows live inside the main windows they joined.
    if (!reinterpret_cast<Search*>(param)->login) ::EnumChildWindows(hwnd, Visit, param);
    return TRUE;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return 2;
    const std::wstring kind = argv[1];
    if (kind != L"login" && kind != L"frame" && kind != L"tone") return 2;
    const std::wstring url = argv[2];
    const DWORD timeout = argc > 3 ? static_cast<DWORD>(std::wcstoul(argv[3], nullptr, 10)) : 10000;

    COPYDATASTRUCT data{};
    data.dwData = web::kAutomationNavigate;
    data.cbData = static_cast<DWORD>((url.size() + 1) * sizeof(wchar_t));
    data.lpData = const_cast<wchar_t*>(url.c_str());
    if (kind == L"tone") data = COPYDATASTRUCT{web::kAutomationTone, 0, nullptr};
    const DWORD start = ::GetTickCount();
    for (;;) {
        Search search{kind == L"login", {}};
        ::EnumWindows(VisitTop, reinterpret_cast<LPARAM>(&search));
        int accepted = 0;
        for (HWND hwnd : search.found) {
            DWORD_PTR result = 0;
            if (::SendMessageTimeoutW(hwnd, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_NORMAL,
                                      5000, &result) &&
                result)
                ++accepted;
        }
        if (accepted > 0) return 0;
        if (::GetTickCount() - start >= timeout) return 1;
        ::Sleep(100);
    }
}
