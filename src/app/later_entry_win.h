// Entry points of start-up work that other units provide: the seams the start-up routine calls.
#pragma once
#include <windows.h>

#include <string>

// Self-update: non-zero when an update is needed; fills the update address.
int CheckForUpdate(bool forced);
// Self-update: true when the new executable was downloaded and moved into place.
bool DownloadAndSwap();
