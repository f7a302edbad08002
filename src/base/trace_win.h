// The one trace of the program: a line for a debugger, DebugView or Wine's debugstr channel,
// left wherever a failure is otherwise silent.
#pragma once
#include <string_view>

namespace base {

// Leaves what failed (and a detail: a file name, a host and path, a route) with its error code
// (GetLastError, HRESULT, WinINet error or NTSTATUS). Safe from any thread and from the crash
// filter: it allocates nothing, and the caller's last error is kept. Never pass an account, a
// password, a cookie or an address with its query (see AddressForTrace).
void Trace(std::wstring_view what, unsigned long code);
void Trace(std::wstring_view what, std::wstring_view detail, unsigned long code);

} // namespace base
