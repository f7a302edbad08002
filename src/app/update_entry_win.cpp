// The self-update and the statistics ping behind the start-up routine's entry points: one
// update state and one update progress dialog for the life of the process.
#include "app/later_entry_win.h"
#include "app/update_win.h"
#include "net/prgs_dlg_win.h"
#include "net/stat_ping_win.h"

namespace {

app::SelfUpdate& ProcessUpdate() {
    static app::SelfUpdate update(app::DefaultUpdateEnvironment());
    return update;
}

} // namespace

int CheckForUpdate(bool forced) {
    return ProcessUpdate().CheckForUpdate(forced);
}

bool DownloadAndSwap() {
    static CPrgsDlg dialog;
    return ProcessUpdate().DownloadAndSwap([](const std::wstring& source, const std::wstring& destination) {
        return dialog.Download(source, destination);
    });
}

void SendStatPing(const std::wstring& url, HANDLE started, HANDLE finished) {
    net::SendStatPing(url, started, finished);
}
