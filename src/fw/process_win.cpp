#include "fw/process_win.h"

#include "base/executable_path_win.h"
#include "base/trace_win.h"
#include "base/user_folder_win.h"

namespace fw {

std::wstring ChildCommandLine(const std::wstring& exePath, const std::wstring& options) {
    // The path goes unquoted unless it holds a blank: the child would split it into several
    // arguments and no longer see its options where it looks for them.
    const bool quote = exePath.find_first_of(L" \t") != std::wstring::npos;
    return (quote ? L"\"" + exePath + L"\"" : exePath) + options;
}

Handle StartChildProcess(const std::wstring& exePath, const std::wstring& options,
                         const std::wstring& currentFolder, bool keepProcess, bool* started) {
    if (started) *started = false;
    if (currentFolder.empty()) {
        base::Trace(L"process not started: no current folder", exePath, 0);
        return Handle();
    }
    std::wstring commandLine = ChildCommandLine(exePath, options);
    STARTUPINFOW si{sizeof(si)};
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION pi{};
    // The application name is given separately so that the path can't resolve to another
    // executable. Under Wine a start now and then fails on a loaded machine with an internal error (the new
    // process ended during its own start-up, about once in a thousand starts); a second attempt
    // then succeeds. Real failures (no such file, access denied) answer other errors and are not
    // repeated.
    BOOL ok = FALSE;
    for (int attempt = 0; attempt < 2 && !ok; ++attempt) {
        ok = CreateProcessW(exePath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, IDLE_PRIORITY_CLASS,
                            nullptr, currentFolder.c_str(), &si, &pi);
        if (!ok && ::GetLastError() != ERROR_INTERNAL_ERROR) break;
    }
    if (started) *started = ok != FALSE;
    if (!ok) base::Trace(L"process not started", exePath, ::GetLastError());
    if (!ok) return Handle();
    CloseHandle(pi.hThread);
    if (keepProcess) return Handle(pi.hProcess);
    CloseHandle(pi.hProcess);
    return Handle();
}

Handle StartSelf(const std::wstring& options, bool keepProcess, bool* started) {
    return StartChildProcess(base::ExecutablePath(), options, base::SystemFolder(), keepProcess, started);
}

} // namespace fw
