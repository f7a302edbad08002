#include "net/cache_clear_win.h"

namespace net {

// replaced by the cache unit
DWORD WINAPI ClearCachesThread(void*) {
    return 1;
}

} // namespace net
