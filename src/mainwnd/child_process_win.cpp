#include "mainwnd/child_process_win.h"

#include <vector>

#include "mainwnd/page_model.h"

namespace mainwnd {

std::wstring RunningProgramPath() {
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        if (n < path.size()) return std::wstring(path.data(), n);
        path.resize(path.size() * 2);
    }
}

fw::Handle StartChildProcess(const std::wstring& path, const std::wstring& options) {
    if (path.empty()) return {};
    std::wstring line = ChildCommandLine(path, options);
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION pi{};
    // The application name is given as well: the system then never searches for the program.
    if (!::CreateProcessW(path.c_str(), line.data(), nullptr, nullptr, FALSE, IDLE_PRIORITY_CLASS, nullptr,
                          nullptr, &si, &pi)) {
        return {};
    }
    ::CloseHandle(pi.hThread);
    return fw::Handle(pi.hProcess);
}

} // namespace mainwnd
