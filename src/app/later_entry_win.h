// Entry points of start-up work that other units provide. Each is the seam the start-up
// routine calls; where the unit is not in the program yet, it answers its failure result.
#pragma once
#include <windows.h>

#include <string>

// Self-update: non-zero when an update is needed; fills the update address.
int CheckForUpdate(bool forced);
// Self-update: true when the new executable was downloaded and moved into place.
bool DownloadAndSwap();
// Install: copy into the install folder, shortcuts, start the installed copy.
bool InstallSelf();
// Uninstall after the player confirmed it (registry key, shortcuts, self-delete script, ping,
// final message).
void UninstallSelf();
// Starts the statistics ping for `url` and returns once the worker has taken its copy; the
// worker signals `started` then, and `finished` when the request is over.
void SendStatPing(const std::wstring& url, HANDLE started, HANDLE finished);
