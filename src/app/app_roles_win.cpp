#include "app/app_roles_win.h"

#include <utility>

#include "app/automation_win.h"
#include "app/update_entry_win.h"
#include "base/product.h"
#include "base/trace_win.h"
#include "fw/browser_features_win.h"
#include "mainwnd/main_window_win.h"
#include "ui/skinned_message_box_win.h"
#include "web/page_window_win.h"
#include "web/page_security_win.h"
#include "web/login_dialog_win.h"

namespace app {

CWnd* RunPageProcess(const StartRequest& request, fw::ComSession& ole) {
    // The compatibility setting that let the restricted start past the manifest's request for
    // administrator rights is not passed on to anything the page starts.
    ::SetEnvironmentVariableW(L"__COMPAT_LAYER", nullptr);
    ole = fw::ComSession::StartOle();
    if (!ole.Ok()) {
        ui::ShowMessageBox(nullptr, L"初始化OLE库失败", base::kAppTitle, MB_OK);
        return nullptr;
    }
    // Before the first browser control of the process: its pages are plain HTTP in an elevated
    // process. A failed feature leaves the control as the system sets it up; the program's own
    // security manager and the refused schemes only ever refuse more.
    fw::EnableBrowserSecurityFeatures();
    web::SecurePageProcess();
    // A page lives inside its main window; without one (missing or stale operands) there is
    // nothing to log into, and the process ends at once.
    // The page's windows get what they need of this process's start as parameters.
    web::PageContext context{reinterpret_cast<HWND>(request.parentWnd), request.parentPageCount,
                             AutomationEnabled()};
    if (!context.parent || !IsWindow(context.parent)) {
        base::Trace(L"page process: no main window to live in", 0);
        return nullptr;
    }
    // A cancelled login tells the main window itself (SC_CLOSE marked as ours).
    if (request.mode == StartMode::NewGamePage && !web::RunLoginScreen(context)) return nullptr;
    CWnd* frame = web::CreateGamePageFrame(context, request.mode == StartMode::GameHall);
    if (!frame) base::Trace(L"page process: page frame not created", 0);
    return frame;
}

void RunMainWindow(CWnd*& mainWnd, std::function<void()> afterLoginStart) {
    mainwnd::MainWindow dlg({.checkForUpdate = CheckForUpdate,
                             .afterLoginStart = std::move(afterLoginStart),
                             .automation = AutomationEnabled(),
                             .failRestrictedStart = AutomationHas(L"unrestricted")});
    mainWnd = &dlg;
    dlg.DoModal();
    mainWnd = nullptr;
}

} // namespace app
