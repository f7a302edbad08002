// Starting the program's own child processes: page processes and new windows.
#pragma once
#include <windows.h>

#include <string>

#include "fw/handles_win.h"

namespace mainwnd {

// The full path of the running executable.
std::wstring RunningProgramPath();

// Starts `path` with `options` the way the program starts its children: no inherited handles,
// idle priority class, a normally shown window. Answers the process handle (empty on failure);
// the thread handle is closed at once.
fw::Handle StartChildProcess(const std::wstring& path, const std::wstring& options);

} // namespace mainwnd
