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

std::wstring OwnEnvironmentBlock() {
    wchar_t* block = ::GetEnvironmentStringsW();
    if (!block) return std::wstring(2, L'\0');
    size_t n = 0;
    while (block[n] != L'\0' || block[n + 1] != L'\0')
        ++n;
    std::wstring copy(block, n + 2);
    ::FreeEnvironmentStringsW(block);
    return copy;
}

base::Handle CreateChild(const std::wstring& exePath, std::wstring commandLine, ChildStart start,
                         DWORD* error) {
    STARTUPINFOW si{sizeof(si)};
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION pi{};
    const DWORD flags = IDLE_PRIORITY_CLASS | (start.environment.empty() ? 0 : CREATE_UNICODE_ENVIRONMENT);
    void* environment = start.environment.empty() ? nullptr : start.environment.data();
    // Under Wine a start now and then fails on a loaded machine with an internal error (the new
    // process ended during its own start-up, about once in a thousand starts); a second attempt
    // then succeeds. Real failures (no such file, access denied) answer other errors and are not
    // repeated.
    BOOL ok = FALSE;
    for (int attempt = 0; attempt < 2 && !ok; ++attempt) {
        ok = start.token
                 ? ::CreateProcessAsUserW(start.token, exePath.c_str(), commandLine.data(), nullptr, nullptr,
                                          FALSE, flags, environment, start.folder.c_str(), &si, &pi)
                 : ::CreateProcessW(exePath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, flags,
                                    environment, start.folder.c_str(), &si, &pi);
        if (!ok && ::GetLastError() != ERROR_INTERNAL_ERROR) break;
    }
    if (!ok) {
        *error = ::GetLastError();
        return base::Handle();
    }
    ::CloseHandle(pi.hThread);
    return base::Handle(pi.hProcess);
}

base::Handle StartChildProcess(const std::wstring& exePath, const std::wstring& options,
                               const std::wstring& currentFolder, bool keepProcess, bool* started) {
    if (started) *started = false;
    if (currentFolder.empty()) {
        base::Trace(L"process not started: no current folder", exePath, 0);
        return base::Handle();
    }
    DWORD error = 0;
    base::Handle process = CreateChild(exePath, ChildCommandLine(exePath, options), {currentFolder}, &error);
    if (started) *started = static_cast<bool>(process);
    if (!process) base::Trace(L"process not started", exePath, error);
    return keepProcess ? std::move(process) : base::Handle();
}

base::Handle StartSelf(const std::wstring& options, bool keepProcess, bool* started) {
    return StartChildProcess(base::ExecutablePath(), options, base::SystemFolder(), keepProcess, started);
}

} // namespace fw
