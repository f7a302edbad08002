#include "fw/client_process_win.h"

#include <windows.h>

#include <vector>

#include "base/trace_win.h"
#include "fw/client_environment.h"

namespace fw {

namespace {

std::wstring SystemFolder(UINT (*get)(wchar_t*, UINT)) {
    wchar_t folder[MAX_PATH] = {};
    const UINT n = get(folder, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::wstring(folder, n) : std::wstring();
}

std::wstring OwnEnvironmentWithPath(const std::wstring& path) {
    wchar_t* own = ::GetEnvironmentStringsW();
    std::wstring block = ClientEnvironmentBlock(own, path);
    if (own) ::FreeEnvironmentStringsW(own);
    return block;
}

} // namespace

bool StartClientProgram(const std::wstring& exePath) {
    const size_t slash = exePath.rfind(L'\\');
    const std::wstring system = SystemFolder(::GetSystemDirectoryW),
                       windows = SystemFolder(::GetSystemWindowsDirectoryW);
    if (slash == std::wstring::npos || slash < 2 || system.empty() || windows.empty()) {
        base::Trace(L"game client not started", exePath, ERROR_BAD_PATHNAME);
        return false;
    }
    // "C:" alone would be the drive's current folder, not its root.
    const std::wstring folder = exePath.substr(0, slash == 2 ? 3 : slash);
    std::wstring environment = OwnEnvironmentWithPath(ClientSearchPath(system, windows, folder));
    // The path names the program explicitly: an unquoted path with spaces must not let the
    // system try shorter prefixes of it as programs. It is also the whole command line.
    std::vector<wchar_t> commandLine(exePath.begin(), exePath.end());
    commandLine.push_back(L'\0');
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION pi{};
    // Under Wine a start now and then fails with an internal error on a loaded machine; a second
    // attempt then succeeds (see StartChildProcess). Real failures answer other errors.
    BOOL ok = FALSE;
    for (int attempt = 0; attempt < 2 && !ok; ++attempt) {
        ok = ::CreateProcessW(exePath.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                              IDLE_PRIORITY_CLASS | CREATE_UNICODE_ENVIRONMENT, environment.data(),
                              folder.c_str(), &si, &pi);
        if (!ok && ::GetLastError() != ERROR_INTERNAL_ERROR) break;
    }
    if (!ok) {
        base::Trace(L"game client not started", exePath, ::GetLastError());
        return false;
    }
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    return true;
}

} // namespace fw
