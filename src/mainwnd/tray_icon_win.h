// The main window's notification-area icon: added for one window and taken away exactly once.
#pragma once
#include <windows.h>

namespace mainwnd {

class TrayIcon {
public:
    TrayIcon() = default;
    ~TrayIcon() { Remove(); }
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    // Adds the icon for `window`, whose clicks arrive as `callbackMessage` (lParam: the mouse
    // message); false when the shell refuses it. Replaces an icon this object showed before.
    bool Add(HWND window, HICON icon, const wchar_t* tip, UINT callbackMessage);
    // Takes the icon away; nothing when none is shown.
    void Remove();
    bool IsShown() const { return m_window != nullptr; }

private:
    HWND m_window = nullptr;
};

} // namespace mainwnd
