// Starting another copy of the program (or any executable) the way the program always does:
// the path followed by the options, idle priority, shown normally, in a current folder the
// caller names (never the one the player started the program from).
#pragma once
#include <windows.h>

#include <string>

#include "fw/handles_win.h"

namespace fw {

// The command line of a child: the path (quoted only when it holds a blank) and the options.
std::wstring ChildCommandLine(const std::wstring& exePath, const std::wstring& options);

// Starts `exePath` + `options` (options begin with a blank, or are empty) with `currentFolder`
// as its current folder. Answers the process handle when `keepProcess` is set (else an empty
// handle); `started` tells whether it started. An empty folder starts nothing.
Handle StartChildProcess(const std::wstring& exePath, const std::wstring& options,
                         const std::wstring& currentFolder, bool keepProcess, bool* started = nullptr);

// The same for the running executable, whose copies run in the system folder as it does.
Handle StartSelf(const std::wstring& options, bool keepProcess = false, bool* started = nullptr);

} // namespace fw
