// The long-running roles of the program, entered at the end of start-up.
#include "app/app_win.h"
#include "app/automation_win.h"
#include "app/update_entry_win.h"
#include "base/product.h"
#include "fw/browser_features_win.h"
#include "mainwnd/main_window_win.h"
#include "ui/skinned_message_box_win.h"
#include "web/page_window_win.h"
#include "web/login_dialog_win.h"

BOOL App::RunPageProcess() {
    m_ole = fw::ComSession::StartOle();
    if (!m_ole.Ok()) {
        ShowMessageBox(nullptr, L"初始化OLE库失败", base::kAppTitle, MB_OK);
        return FALSE;
    }
    // Before the first browser control of the process: its pages are plain HTTP in an elevated
    // process. A failure leaves the control as the system sets it up.
    fw::EnableBrowserSecurityFeatures();
    // A page lives inside its main window; without one (missing or stale operands) there is
    // nothing to log into, and the process ends at once.
    // The page's windows get what they need of this process's start as parameters.
    web::PageContext context{reinterpret_cast<HWND>(m_request.parentWnd), m_request.parentPageCount,
                             AutomationEnabled()};
    if (!context.parent || !IsWindow(context.parent)) return FALSE;
    // A cancelled login tells the main window itself (SC_CLOSE marked as ours).
    if (Mode() == StartNewGamePage && !RunLoginScreen(context)) return FALSE;
    CWnd* frame = CreateGamePageFrame(context, Mode() == StartGameHall);
    if (!frame) return FALSE;
    m_pMainWnd = frame;
    return TRUE;
}

BOOL App::RunMainWindow() {
    MainWindow dlg;
    dlg.m_checkForUpdate = CheckForUpdate;
    dlg.m_automation = AutomationEnabled();
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    return FALSE;
}
