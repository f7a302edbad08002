// Starting another copy of the program (or any executable) the way the program always does:
// the path followed by the options, idle priority, shown normally, in a current folder the
// caller names (never the one the player started the program from).
#pragma once
#include <windows.h>

#include <string>

#include "base/handle_win.h"

namespace fw {

// The command line of a child: the path (quoted only when it holds a blank) and the options.
std::wstring ChildCommandLine(const std::wstring& exePath, const std::wstring& options);

// How a child starts beside its command line: the folder it runs in (never empty), its
// environment block (empty: this process's) and the token it runs with (null: this process's).
struct ChildStart {
    std::wstring folder;
    std::wstring environment;
    HANDLE token = nullptr;
};

// This process's environment block, up to and including the empty string that ends it.
std::wstring OwnEnvironmentBlock();

// The one process creation every start goes through: `exePath` named as the program (so the
// command line can't resolve to another one), idle priority, shown normally. Answers the process
// handle, or an empty one with the system's error in `error`.
base::Handle CreateChild(const std::wstring& exePath, std::wstring commandLine, ChildStart start,
                         DWORD* error);

// Starts `exePath` + `options` (options begin with a blank, or are empty) with `currentFolder`
// as its current folder. Answers the process handle when `keepProcess` is set (else an empty
// handle); `started` tells whether it started. An empty folder starts nothing.
base::Handle StartChildProcess(const std::wstring& exePath, const std::wstring& options,
                               const std::wstring& currentFolder, bool keepProcess, bool* started = nullptr);

// The same for the running executable, whose copies run in the system folder as it does.
base::Handle StartSelf(const std::wstring& options, bool keepProcess = false, bool* started = nullptr);

} // namespace fw
