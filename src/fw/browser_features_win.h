// The browser control's process-wide security features, switched on before a page process
// makes its first control: the pages are plain HTTP and the process is elevated.
#pragma once
#include <windows.h>
#include <urlmon.h>

#include <span>

namespace fw {

// The features switched on, each for a reason given where the list is defined.
std::span<const INTERNETFEATURELIST> BrowserSecurityFeatures();

// Switches every feature of the list on for this process; true when each call succeeded. The
// library is loaded from the system folder by its full name.
bool EnableBrowserSecurityFeatures();

} // namespace fw
