// Where the process loads libraries from: the system folder only. An elevated program started
// from a download folder must not run a library someone left beside it.
#pragma once
#include <windows.h>

namespace base {

// The first call of the entry point: later loads search the system folder only, and libraries
// that the executable imports late (every one that is not a known system library) are loaded
// from the system folder by their full path. A late import that fails ends the process through
// the crash filter as any fault would, with a note in the debugger output.
void RestrictLibrarySearch();

// A system library by its full path in the system folder; null when it can't be loaded.
HMODULE LoadSystemLibrary(const wchar_t* name);

} // namespace base
