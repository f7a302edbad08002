// The start-up benchmark's reference programs: a dialog from an in-memory template that lives for
// a given time, and the two-process form, where the first copy starts a second copy of the same
// program, which shows the window. Header-only, so that each reference keeps only the imports of
// its own work.
#pragma once
#include <windows.h>

#include <cwchar>
#include <string>

namespace bench {

// The arguments of a reference: one mode word (present or not) and the lifetime in milliseconds.
struct Arguments {
    bool mode = false;
    UINT lifetime = 10000;
};

inline Arguments ParseArguments(int argc, wchar_t** argv, const wchar_t* modeWord) {
    Arguments arguments;
    for (int i = 1; i < argc; ++i) {
        if (wcscmp(argv[i], modeWord) == 0)
            arguments.mode = true;
        else
            arguments.lifetime = static_cast<UINT>(_wtoi(argv[i]));
    }
    return arguments;
}

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

// One run of a reference's dialog.
struct Dialog {
    DWORD style = 0;
    UINT lifetime = 10000;
    // Starts the showing copy with these arguments (its own dialog 1 x 1) instead of showing.
    bool startsCopy = false;
    std::wstring copyArguments;
    // The showing copy's own work once its dialog is titled; may be null.
    void (*show)(HWND) = nullptr;
};

inline INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG: {
        const auto* dialog = reinterpret_cast<const Dialog*>(lParam);
        SetTimer(hwnd, 1, dialog->lifetime, nullptr);
        if (dialog->startsCopy) {
            SetWindowPos(hwnd, nullptr, 0, 0, 1, 1, SWP_NOZORDER | SWP_NOACTIVATE);
            StartShowingCopy(dialog->copyArguments);
        } else {
            SetWindowTextW(hwnd, L"TnVexa bench dialog");
            if (dialog->show) dialog->show(hwnd);
        }
        return TRUE;
    }
    case WM_TIMER:
    case WM_CLOSE:
        EndDialog(hwnd, 0);
        return TRUE;
    default:
        return FALSE;
    }
}

// Runs the dialog, about as large as the login backdrop and without controls, until its lifetime
// ends or it is closed.
inline int RunDialog(const Dialog& dialog) {
    alignas(4) WORD tmpl[32] = {};
    tmpl[0] = LOWORD(dialog.style);
    tmpl[1] = HIWORD(dialog.style);
    tmpl[7] = 592; // width in dialog units
    tmpl[8] = 336; // height
    return static_cast<int>(DialogBoxIndirectParamW(GetModuleHandleW(nullptr),
                                                    reinterpret_cast<const DLGTEMPLATE*>(tmpl), nullptr,
                                                    DialogProc, reinterpret_cast<LPARAM>(&dialog)));
}

} // namespace bench
