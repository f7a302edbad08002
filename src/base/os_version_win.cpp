#include "base/os_version_win.h"

#include <windows.h>

namespace base {

int OsMajorVersion() {
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof(info);
    // Deprecated for its compatibility shims, which are what the program wants to see here.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!::GetVersionExW(&info)) return 0;
#pragma GCC diagnostic pop
    return static_cast<int>(info.dwMajorVersion);
}

bool IsVistaOrLater() {
    static const bool vista = [] {
        const int major = OsMajorVersion();
        return major == 0 || major > 5;
    }();
    return vista;
}

} // namespace base
