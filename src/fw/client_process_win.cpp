#include "fw/client_process_win.h"

#include <windows.h>

#include "base/trace_win.h"
#include "base/user_folder_win.h"
#include "fw/client_environment.h"
#include "fw/process_win.h"

namespace fw {

bool StartClientProgram(const std::wstring& exePath) {
    const size_t slash = exePath.rfind(L'\\');
    wchar_t windowsFolder[MAX_PATH] = {};
    const UINT windowsLength = ::GetSystemWindowsDirectoryW(windowsFolder, MAX_PATH);
    const std::wstring system = base::SystemFolder(),
                       windows = windowsLength < MAX_PATH ? std::wstring(windowsFolder, windowsLength) : L"";
    if (slash == std::wstring::npos || slash < 2 || system.empty() || windows.empty()) {
        base::Trace(L"game client not started", exePath, ERROR_BAD_PATHNAME);
        return false;
    }
    // "C:" alone would be the drive's current folder, not its root.
    const std::wstring folder = exePath.substr(0, slash == 2 ? 3 : slash);
    std::wstring environment =
        ClientEnvironmentBlock(OwnEnvironmentBlock().c_str(), ClientSearchPath(system, windows, folder));
    // The path is the whole command line: the client gets no options of ours.
    DWORD error = 0;
    if (!CreateChild(exePath, exePath, {folder, std::move(environment)}, &error)) {
        base::Trace(L"game client not started", exePath, error);
        return false;
    }
    return true;
}

} // namespace fw
