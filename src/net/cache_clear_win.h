// The cache-clearing worker thread.
#pragma once
#include <windows.h>

namespace net {

// Clears the browser cache (cookies spared), the cache folder and the stored objects; a thread
// procedure that takes no parameter.
DWORD WINAPI ClearCachesThread(void*);

} // namespace net
