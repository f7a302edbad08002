#include "mainwnd/tray_icon_win.h"

#include <shellapi.h>

#include "base/trace_win.h"
#include "mainwnd/main_messages.h"

namespace mainwnd {

bool TrayIcon::Add(HWND window, HICON icon, const wchar_t* tip, UINT callbackMessage) {
    Remove();
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof(data);
    data.hWnd = window;
    data.uID = kTrayIconId;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = callbackMessage;
    data.hIcon = icon;
    ::lstrcpynW(data.szTip, tip, ARRAYSIZE(data.szTip));
    if (::Shell_NotifyIconW(NIM_ADD, &data))
        m_window = window;
    else
        base::Trace(L"tray icon not added", ::GetLastError());
    return IsShown();
}

void TrayIcon::Remove() {
    if (!m_window) return;
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof(data);
    data.hWnd = m_window;
    data.uID = kTrayIconId;
    ::Shell_NotifyIconW(NIM_DELETE, &data);
    m_window = nullptr;
}

} // namespace mainwnd
