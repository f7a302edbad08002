#include "fw/app_win.h"

#include "fw/dialog_win.h"
#include "fw/wnd_win.h"

namespace {
CWinApp* g_app = nullptr;

// Parent of a child window, owner of a top-level one; null at the top.
HWND ParentOrOwner(HWND hwnd) {
    if (::GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CHILD) {
        const HWND parent = ::GetAncestor(hwnd, GA_PARENT);
        return parent == ::GetDesktopWindow() ? nullptr : parent;
    }
    return ::GetWindow(hwnd, GW_OWNER);
}
} // namespace

CWinApp::CWinApp() : m_hInstance(::GetModuleHandleW(nullptr)), m_nThreadId(::GetCurrentThreadId()) {
    g_app = this;
}

CWinApp::~CWinApp() {
    if (g_app == this) g_app = nullptr;
}

CWinApp* GetApp() {
    return g_app;
}

int CWinApp::FetchMessage(MSG& msg) {
    return ::GetMessageW(&msg, nullptr, 0, 0);
}

BOOL CWinApp::OnIdle(LONG) {
    return FALSE;
}

int CWinApp::Run() {
    LONG idleCount = 0;
    for (;;) {
        MSG msg;
        while (!::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE) && OnIdle(idleCount++)) {
        }
        const int got = FetchMessage(msg);
        if (got == -1) {
            m_nExitCode = -1;
            break;
        }
        if (got == 0) {
            m_nExitCode = static_cast<int>(msg.wParam);
            break;
        }
        ProcessMessage(msg);
        idleCount = 0;
    }
    return m_nExitCode;
}

int RunApplication(CWinApp& app) {
    g_app = &app;
    app.m_nThreadId = ::GetCurrentThreadId();
    if (app.InitInstance()) app.Run();
    return app.ExitInstance();
}

bool PreTranslateChain(MSG& msg) {
    // The bound keeps a broken owner cycle from hanging the loop.
    int steps = 0;
    for (HWND hwnd = msg.hwnd; hwnd && steps < 64; ++steps) {
        if (CWnd* wnd = CWnd::FromHandle(hwnd); wnd && wnd->PreTranslateMessage(&msg)) return true;
        // The handler may have destroyed the window; GetAncestor then answers null.
        hwnd = ::IsWindow(hwnd) ? ParentOrOwner(hwnd) : nullptr;
    }
    return false;
}

bool DialogNavigation(MSG& msg) {
    if (!msg.hwnd) return false;
    // Outermost dialog among the window and its parents on this thread; a page re-parented
    // into another process's window stops at its own top.
    const DWORD thread = ::GetCurrentThreadId();
    HWND dialog = nullptr;
    int steps = 0;
    for (HWND hwnd = msg.hwnd; hwnd && steps < 64; ++steps) {
        if (::GetWindowThreadProcessId(hwnd, nullptr) != thread) break;
        if (CDialog::IsDialogClass(hwnd)) dialog = hwnd;
        if (!(::GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CHILD)) break;
        hwnd = ::GetAncestor(hwnd, GA_PARENT);
    }
    return dialog && ::IsDialogMessageW(dialog, &msg);
}

void ProcessMessage(MSG& msg) {
    if (PreTranslateChain(msg) || DialogNavigation(msg)) return;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
}
