// The self-update as start-up and the main window call it: one update state and one progress
// dialog for the life of the process (app/update_win.h has the steps themselves).
#pragma once

// Non-zero when an update is needed; fills the update address.
int CheckForUpdate(bool forced);
// True when the new executable was downloaded and moved into place.
bool DownloadAndSwap();
