// The running executable: its path and a handle on its file.
#pragma once
#include <windows.h>

#include <string>

namespace base {

// Full path of the running executable.
std::wstring ExecutablePath();

// A read handle on the running executable's file, opened at the first call (the entry point
// makes it) without write or delete sharing: while the process lives, nobody can change,
// rename or replace the file it was started from. INVALID_HANDLE_VALUE when it can't be opened.
HANDLE OwnImage();

} // namespace base
