#include "app/process_win.h"

#include "base/codepage_win.h"

fw::Handle StartChildProcess(const std::wstring& exePath, const std::wstring& options, bool keepProcess,
                             bool* started) {
    std::wstring commandLine = exePath + options;
    STARTUPINFOW si{sizeof(si)};
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION pi{};
    // The command line keeps the path unquoted as children expect it; the application name is
    // given separately so that a path with blanks can't resolve to another executable.
    const BOOL ok = CreateProcessW(exePath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, IDLE_PRIORITY_CLASS,
                                   nullptr, nullptr, &si, &pi);
    if (started) *started = ok != FALSE;
    if (!ok) return fw::Handle();
    CloseHandle(pi.hThread);
    if (keepProcess) return fw::Handle(pi.hProcess);
    CloseHandle(pi.hProcess);
    return fw::Handle();
}

fw::Handle StartSelf(const std::wstring& options, bool keepProcess, bool* started) {
    return StartChildProcess(base::ExecutablePath(), options, keepProcess, started);
}
