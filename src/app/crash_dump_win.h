// The crash-dump writer: an unhandled exception leaves a minidump beside the executable, or, for
// a page process (which runs with the player's rights), in the player's own application data.
#pragma once
#include <windows.h>

#include <atomic>

// Set once the process has written its dump.
extern std::atomic<bool> DumpWritten;

// Where a process's dump goes: beside the executable (only the system and administrators may
// read it), or the player's "<local application data>\Vexa\GameLogin" (also the player).
enum class DumpPlace { BesideExecutable, PlayerFolder };

// Installs CrashFilter as the process's unhandled-exception filter; call first thing.
void InstallCrashFilter(DumpPlace place = DumpPlace::BesideExecutable);

// The filter: writes one dump per process and answers the verdict (0 lets the system's usual
// handling follow; 1 ends the process quietly for every later crash).
LONG WINAPI CrashFilter(EXCEPTION_POINTERS* pointers);

// Writes one dump of this process into an open file. Without exception pointers the caller's
// own state is recorded as if it had raised a breakpoint.
void WriteMiniDump(HANDLE file, EXCEPTION_POINTERS* pointers);
