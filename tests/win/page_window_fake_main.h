// A stand-in for the main game window of the parent process: it records what a page process
// sends and posts to it and answers the label registration as told. Shared by the page-process
// tests (header only: each test file is a program of its own).
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "base/page_protocol.h"
#include "web/automation_channel.h"
#include "win_test_support.h"

namespace pagetest {

struct Received {
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
    ULONG_PTR dwData = 0;
    DWORD cbData = 0;
    std::wstring text;       // WM_COPYDATA: the data as a zero-terminated UTF-16 string
    DWORD senderProcess = 0; // WM_COPYDATA: the process of the window named in wParam, when it was sent
};

struct FakeMain {
    HWND hwnd = nullptr;
    bool accept = true;
    std::vector<Received> received;

    size_t Count(UINT msg) const {
        size_t n = 0;
        for (const auto& r : received)
            n += r.msg == msg;
        return n;
    }
    const Received* Last(UINT msg) const {
        for (auto it = received.rbegin(); it != received.rend(); ++it)
            if (it->msg == msg) return &*it;
        return nullptr;
    }
};

inline FakeMain*& CurrentFake() {
    static FakeMain* fake = nullptr;
    return fake;
}

inline LRESULT CALLBACK FakeMainProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    FakeMain* fake = CurrentFake();
    if (fake && (msg == WM_COPYDATA || msg == WM_SYSCOMMAND || msg == 0x0402 || msg == WM_KEYDOWN ||
                 msg == WM_SYSKEYDOWN || msg == base::WM_PAGEREQUEST)) {
        Received r{msg, wParam, lParam};
        if (msg == WM_COPYDATA) {
            const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
            r.dwData = data->dwData;
            r.cbData = data->cbData;
            ::GetWindowThreadProcessId(reinterpret_cast<HWND>(wParam), &r.senderProcess);
            if (data->lpData && data->cbData >= 2)
                r.text.assign(static_cast<const wchar_t*>(data->lpData), data->cbData / 2 - 1);
            fake->received.push_back(r);
            return fake->accept ? 1 : 0;
        }
        fake->received.push_back(r);
        if (msg == WM_SYSCOMMAND) return 0; // a recorded close request closes nothing
        if (msg == 0x0402) {
            // Adopted as the main window does: its parent, then told.
            const HWND page = reinterpret_cast<HWND>(wParam);
            ::SetParent(page, hwnd);
            ::PostMessageW(page, base::WM_PAGEADOPTED, 0, 0);
            return 0;
        }
    }
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

// Creates the window (visible, 900 x 640 at 40, 40) and makes it the current fake.
inline HWND CreateFakeMain(FakeMain& fake, const wchar_t* title = L"Vexa - Tarn") {
    static const bool registered = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = FakeMainProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TnVexaFakeMain";
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        return ::RegisterClassW(&wc) != 0;
    }();
    if (!registered) return nullptr;
    CurrentFake() = &fake;
    fake.hwnd =
        ::CreateWindowExW(0, L"TnVexaFakeMain", title, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE, 40,
                          40, 900, 640, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    return fake.hwnd;
}

// Sends an automation request (navigate to url) as a test driver does; the window's answer.
inline LRESULT SendAutomation(HWND target, const std::wstring& url, DWORD timeoutMs = 5000) {
    COPYDATASTRUCT data{};
    data.dwData = web::kAutomationNavigate;
    data.cbData = static_cast<DWORD>((url.size() + 1) * sizeof(wchar_t));
    data.lpData = const_cast<wchar_t*>(url.c_str());
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutW(target, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_NORMAL,
                               timeoutMs, &result))
        return -1;
    return static_cast<LRESULT>(result);
}

// Points the publisher at a closed loopback port and opens the automation channel, for this
// process (call it before any code of the program reads them) and the page processes it starts.
inline bool PrepareSwitches(bool automation = true) {
    return wintest::SetTestSwitch(L"Publisher", L"127.0.0.1:1") &&
           wintest::SetTestSwitch(L"Automation", automation ? L"1" : nullptr);
}

} // namespace pagetest
