#include "mainwnd/pre_vista_login_win.h"

#include "fw/dialog_win.h"
#include "mainwnd/main_window_win.h"
#include "resource.h"

namespace mainwnd {
namespace {

// Modeless and owned: the system destroys it with its owner, and the object goes with it.
class PreVistaLoginDialog : public CDialog {
public:
    explicit PreVistaLoginDialog(HWND owner) : CDialog(IDD_LOGIN, owner) {}

protected:
    void PostNcDestroy() override { delete this; }
};

} // namespace

void CreatePreVistaLoginDialog(MainWindow& dlg) {
    auto* login = new PreVistaLoginDialog(dlg.m_hWnd);
    if (!login->Create()) {
        delete login;
        return;
    }
    ::SetWindowPos(login->m_hWnd, nullptr, 0, 0, 1, 1, SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace mainwnd
