#include "fw/app_win.h"

#include "fw/message_loop_win.h"
#include "fw/wnd_win.h"

namespace {
CWinApp* g_app = nullptr;

// Destroying the main window on the application's thread ends that thread's loop.
void MainWindowGone(CWnd* wnd) {
    CWinApp* app = g_app;
    if (app && app->m_pMainWnd == wnd && app->m_nThreadId == ::GetCurrentThreadId()) {
        app->m_pMainWnd = nullptr;
        ::PostQuitMessage(0);
    }
}
} // namespace

CWinApp::CWinApp() : m_hInstance(::GetModuleHandleW(nullptr)), m_nThreadId(::GetCurrentThreadId()) {
    g_app = this;
    SetWindowGoneHandler(MainWindowGone);
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
