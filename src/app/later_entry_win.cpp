#include "app/later_entry_win.h"

// Units not yet in the program: their failure results, and a ping that is over at once so
// that the modes waiting for it go on.

int CheckForUpdate(bool) {
    return 0;
}

bool DownloadAndSwap() {
    return false;
}

bool InstallSelf() {
    return true;
}

void UninstallSelf() {}

void SetBrowserCacheLimit() {}

void SendStatPing(const std::wstring&, HANDLE started, HANDLE finished) {
    SetEvent(started);
    SetEvent(finished);
}
