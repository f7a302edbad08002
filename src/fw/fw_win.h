// Folder fw/: the window framework, process start and test switches; may include base/ only.
// The application framework: application object, window and dialog classes, handle owners.
//
// Windows.  Derive from CWnd (or CDialog, CButton) and override the virtuals:
//     LRESULT CMyWnd::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
//         switch (msg) {
//         case WM_ERASEBKGND: return OnEraseBkgnd(reinterpret_cast<HDC>(wParam));
//         case WM_SIZE: OnSize(); break;          // then default processing
//         }
//         return CDialog::WindowProc(msg, wParam, lParam);   // always end like this
//     }
//   DefWindowProc() inside a handler runs the default for the current message: DefWindowProcW
//   for framework windows, the original procedure (dialog manager, system control) otherwise.
//   Control notifications the parent gets (WM_COMMAND from a control, WM_NOTIFY, WM_DRAWITEM,
//   WM_MEASUREITEM, WM_CTLCOLOR*) are first offered to the control's object: OnChildNotify;
//   CButton turns WM_DRAWITEM into DrawItem. The parent sees them when that answers false.
//   PreTranslateMessage(MSG*) sees every queued message for the window or its descendants
//   (and owned windows) before translation, in the app loop and in modal loops alike.
//   PostNcDestroy() runs after the window is gone, when its outermost message has returned: a
//   heap-allocated window may `delete this` there. CWnd::FromHandle(hwnd) finds the object.
//
// Dialogs.  class CMyDlg : public CDialog { public: CMyDlg(HWND parent) : CDialog(IDD_MY, parent) {}
//     BOOL OnInitDialog() override { CDialog::OnInitDialog(); /* set up */ return TRUE; }
//     void DoDataExchange() override { DDX_Control(IDC_OK, m_okButton); }  // binds template controls
//     void OnOK() override { /* read fields */ CDialog::OnOK(); }
//     CButton m_okButton; };
//   Modal: `INT_PTR r = dlg.DoModal();` (own loop; the parent's top-level window is disabled
//   meanwhile; EndDialog(r) from any thread ends it; WM_QUIT ends it with -1 and is re-posted).
//   Modeless: `dlg.Create(parent)`; the app loop provides Tab/Enter/Esc navigation; EndDialog
//   (or OnOK/OnCancel, Esc, WM_CLOSE) destroys it. The dialog object is bound at WM_INITDIALOG
//   (messages before it, e.g. WM_SETFONT, go to the dialog manager only).
//   In-memory templates: CDialog(const DLGTEMPLATE*, parent).
//
// Controls.  ctrl.SubclassWindow(hwnd), ctrl.SubclassDlgItem(id, parentHwnd) or DDX_Control bind
//   an existing control (PreSubclassWindow is called then); ctrl.CreateControl(L"BUTTON", ...)
//   creates and binds one.
//
// Plain windows.  wnd.CreateEx(exStyle, nullptr, L"title", WS_OVERLAPPEDWINDOW, x, y, w, h,
//   parent, nullptr) uses the framework's class; CWnd::RegisterWindowClass(L"MyClass", ...)
//   registers another one served by the framework (icons, background, class styles).
//
// Application.  struct CMyApp : CWinApp { BOOL InitInstance() override; int ExitInstance() override; };
//   int WINAPI wWinMain(...) { static CMyApp app; return RunApplication(app); }
//   InitInstance FALSE ends at once (ExitInstance still runs); TRUE runs the loop until WM_QUIT;
//   destroying m_pMainWnd posts WM_QUIT. GetApp() answers the application object.
//
// Handles (namespace base, base/handle_win.h): Handle, RegKey, Bitmap, Region, Font, Brush, Pen,
//   MemoryDC, ImageList, Icon, InternetHandle (UniqueHandle<Traits>), WindowDC (GetDC/ReleaseDC),
//   SelectedObject (puts the replaced object back), ComPtr<T>. All move-only.
#pragma once
#include "base/handle_win.h"
#include "fw/app_win.h"
#include "fw/dialog_win.h"
#include "fw/message_loop_win.h"
#include "fw/wnd_win.h"
