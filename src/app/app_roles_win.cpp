// The long-running roles of the program, entered at the end of start-up.
#include "app/app_state_win.h"
#include "app/app_win.h"
#include "ui/msgbox_win.h"

BOOL CTollgate3App::RunPageProcess() {
    if (FAILED(OleInitialize(nullptr))) {
        ShowMessageBox(nullptr, L"初始化OLE库失败", L"Vexa - Tarn", MB_OK);
        return FALSE;
    }
    m_oleStarted = true;
    // A page lives inside its main window; without one (missing or stale operands) there is
    // nothing to log into, and the process ends at once.
    if (!ParentWnd || !IsWindow(ParentWnd)) return FALSE;
    // The login screen and the page window are not part of the program yet.
    return FALSE;
}

BOOL CTollgate3App::RunMainWindow() {
    // The main game window is not part of the program yet.
    return FALSE;
}
