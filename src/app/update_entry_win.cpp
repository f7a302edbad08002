#include "app/update_entry_win.h"

#include "app/update_progress_dialog_win.h"
#include "app/update_win.h"

namespace {

app::SelfUpdate& ProcessUpdate() {
    static app::SelfUpdate update(app::UpdateEnvironment{});
    return update;
}

} // namespace

int CheckForUpdate(bool forced) {
    return ProcessUpdate().CheckForUpdate(forced);
}

bool DownloadAndSwap() {
    static app::UpdateProgressDialog dialog;
    return ProcessUpdate().DownloadAndSwap([](const net::SignedDownload& request, net::HeldDownload& held) {
        return dialog.Download(request, held);
    });
}
