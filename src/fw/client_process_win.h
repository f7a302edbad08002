// Starting another game's client: in its own folder, with a search path of the system's folders
// and its own, so that nothing of where the launcher was started from (a download folder full of
// files anyone could have put there) is found by the client as a library or a program.
#pragma once
#include <string>

namespace fw {

// Starts the program exePath (a full path) with the path as its whole command line, at idle
// priority, shown normally; its current folder is the program's folder and its environment the
// program's own with the client's search path (ClientEnvironmentBlock). Both handles are closed.
// False, traced, when it did not start.
bool StartClientProgram(const std::wstring& exePath);

} // namespace fw
