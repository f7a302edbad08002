// The environment another game's client starts with: the program's own, except for the search
// path and the command interpreter's per-drive current folders.
#pragma once
#include <string>
#include <string_view>

namespace fw {

// ownBlock: "NAME=value" entries, each ending in a zero, the last followed by another zero (as
// the system hands the environment out); null or empty means none. The result has the same form:
// every entry kept in its order, except that the PATH entry (its name in any letter case; a
// second one dropped) holds `path` instead, inserted where the names' case-blind order puts it
// when there was none, and that entries whose name begins with "=" ("=C:=C:\Users\x\Downloads",
// the interpreter's current folder on each drive) are left out: the client has its own folder.
std::wstring ClientEnvironmentBlock(const wchar_t* ownBlock, std::wstring_view path);

// The search path of a client: the system folder, the Windows folder, the system's Wbem folder,
// then the client's own folder.
std::wstring ClientSearchPath(std::wstring_view systemFolder, std::wstring_view windowsFolder,
                              std::wstring_view clientFolder);

} // namespace fw
