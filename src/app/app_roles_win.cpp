// The long-running roles of the program, entered at the end of start-up.
#include "app/app_state_win.h"
#include "app/app_win.h"
#include "app/automation_win.h"
#include "app/later_entry_win.h"
#include "mainwnd/main_dlg_win.h"
#include "ui/msgbox_win.h"
#include "web/gm_wnd_win.h"
#include "web/login_dlg_win.h"

BOOL CTollgate3App::RunPageProcess() {
    if (FAILED(OleInitialize(nullptr))) {
        ShowMessageBox(nullptr, L"初始化OLE库失败", L"Vexa - Tarn", MB_OK);
        return FALSE;
    }
    m_oleStarted = true;
    // A page lives inside its main window; without one (missing or stale operands) there is
    // nothing to log into, and the process ends at once.
    if (!ParentWnd || !IsWindow(ParentWnd)) return FALSE;
    // A cancelled login tells the main window itself (SC_CLOSE marked as ours).
    if (Mode() == StartNewGamePage && !RunLoginScreen()) return FALSE;
    CWnd* frame = CreateGamePageFrame(Mode() == StartGameHall);
    if (!frame) return FALSE;
    m_pMainWnd = frame;
    return TRUE;
}

BOOL CTollgate3App::RunMainWindow() {
    CTollgate3Dlg dlg;
    dlg.m_checkForUpdate = CheckForUpdate;
    dlg.m_automation = AutomationEnabled();
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    return FALSE;
}
