// A page process as the start-up code makes it, for the page window's process tests:
// page_frame_host.exe <main window handle, decimal> runs the page window of a game page as its
// main window in the application's loop and ends with the loop's exit code.
#include <windows.h>
#include <objbase.h>

#include <cwchar>

#include "app/automation_win.h"
#include "app/program_skin_win.h"
#include "fw/fw_win.h"
#include "web/page_window_win.h"

namespace {

struct PageHostApp : CWinApp {
    BOOL InitInstance() override {
        if (FAILED(::OleInitialize(nullptr))) return FALSE;
        m_ole = true;
        ui::SetSkinResources(kProgramSkin);
        m_pMainWnd = web::CreateGamePageFrame(
            {m_parent, 0, AutomationEnabled(), L"http://127.0.0.1:1/games/tn/s1/game.html"}, false);
        return m_pMainWnd != nullptr;
    }
    int ExitInstance() override {
        if (m_ole) ::OleUninitialize();
        return CWinApp::ExitInstance();
    }
    HWND m_parent = nullptr;
    bool m_ole = false;
};

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    static PageHostApp app;
    app.m_parent = reinterpret_cast<HWND>(static_cast<INT_PTR>(std::wcstoll(argv[1], nullptr, 10)));
    return RunApplication(app);
}
