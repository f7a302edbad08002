#include "win_test_support.h"

#include "base/handle_win.h"
#include "fw/test_switch_win.h"

namespace wintest {

void PumpPending() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        PumpPending();
        if (done()) return true;
        const DWORD spent = GetTickCount() - start;
        if (spent >= timeoutMs) return done();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, (timeoutMs - spent) < 10 ? timeoutMs - spent : 10,
                                  QS_ALLINPUT);
    }
}

COLORREF WaitForScreenPixel(POINT at, COLORREF expected, DWORD timeoutMs) {
    COLORREF seen = CLR_INVALID;
    PumpUntil(
        [&] {
            HDC screen = GetDC(nullptr);
            seen = GetPixel(screen, at.x, at.y);
            ReleaseDC(nullptr, screen);
            return seen == expected;
        },
        timeoutMs);
    return seen;
}

int CountScreenPixels(const RECT& rect, COLORREF colour, int tolerance) {
    const int w = rect.right - rect.left, h = rect.bottom - rect.top;
    if (w <= 0 || h <= 0) return 0;
    base::WindowDC screen(nullptr);
    base::MemoryDC mem(CreateCompatibleDC(screen.Get()));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    base::Bitmap copy(CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!mem || !copy || !bits) return 0;
    {
        base::SelectedObject keep(mem.Get(), copy.Get());
        BitBlt(mem.Get(), 0, 0, w, h, screen.Get(), rect.left, rect.top, SRCCOPY);
    }
    GdiFlush();
    // The section holds blue, green, red, unused.
    auto within = [tolerance](int a, int b) { return a - b <= tolerance && b - a <= tolerance; };
    const auto* pixels = static_cast<const BYTE*>(bits);
    int count = 0;
    for (int i = 0; i < w * h; ++i) {
        const BYTE* p = pixels + 4 * i;
        count += within(p[2], GetRValue(colour)) && within(p[1], GetGValue(colour)) &&
                 within(p[0], GetBValue(colour));
    }
    return count;
}

std::wstring ExeFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring s(path);
    return s.substr(0, s.find_last_of(L'\\') + 1);
}

bool SetTestSwitch(const wchar_t* name, const wchar_t* value) {
    base::RegKey key;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, fw::kTestSwitchKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, key.Put(), nullptr) != ERROR_SUCCESS)
        return false;
    if (!value) {
        const LSTATUS r = RegDeleteValueW(key.Get(), name);
        return r == ERROR_SUCCESS || r == ERROR_FILE_NOT_FOUND;
    }
    const DWORD bytes = static_cast<DWORD>((wcslen(value) + 1) * sizeof(wchar_t));
    return RegSetValueExW(key.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value), bytes) ==
           ERROR_SUCCESS;
}

void ClearTestSwitches() {
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, fw::kTestSwitchKey, KEY_WOW64_64KEY, 0);
}

DWORD RunProcess(const std::wstring& commandLine, DWORD timeoutMs) {
    std::wstring command = commandLine;
    STARTUPINFOW si{sizeof(si)};
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return 0xFFFFFFFF;
    DWORD code = 0xFFFFFFFF;
    if (::WaitForSingleObject(pi.hProcess, timeoutMs) == WAIT_OBJECT_0) {
        ::GetExitCodeProcess(pi.hProcess, &code);
    } else {
        ::TerminateProcess(pi.hProcess, 1);
        ::WaitForSingleObject(pi.hProcess, 5000);
    }
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    return code;
}

} // namespace wintest
