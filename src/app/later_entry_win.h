// Entry points of start-up work that other units provide: the seams the start-up routine calls.
#pragma once
#include <windows.h>

#include <string>

// Self-update: non-zero when an update is needed; fills the update address.
int CheckForUpdate(bool forced);
// Self-update: true when the new executable was downloaded and moved into place.
bool DownloadAndSwap();
// Starts the statistics ping for `url` and returns once the worker has taken its copy; the
// worker signals `started` then, and `finished` when the request is over.
void SendStatPing(const std::wstring& url, HANDLE started, HANDLE finished);
