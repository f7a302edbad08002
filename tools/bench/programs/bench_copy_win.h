// The start-up benchmark's two-process references: the first copy starts a second copy of the
// same program, which shows the window. Header-only, so that each reference keeps only the
// imports of its own work.
#pragma once
#include <windows.h>

#include <string>

namespace bench {

// Starts this program again with the given arguments (a leading mode word and the lifetime).
inline void StartShowingCopy(const std::wstring& arguments) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = std::wstring(L"\"") + self + L"\" " + arguments;
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    if (CreateProcessW(self, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
}

} // namespace bench
