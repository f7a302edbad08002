// The private window messages between the main game window, its page processes and its own
// pop-ups. The numbers are fixed: page processes of other builds speak them too.
#pragma once

namespace mainwnd {

// Notification-area icon → main window: wParam the icon id (1), lParam the mouse message.
inline constexpr unsigned WM_TRAYNOTIFY = 0x0401;
// Page window → main window, posted: wParam the page window, lParam 1 for the hall page.
inline constexpr unsigned WM_PAGECREATED = 0x0402;
// Main window → itself: open the tray menu.
inline constexpr unsigned WM_TRAYMENU = 0x0403;
// Settings dialog → every main window, posted: the hotkeys were saved.
inline constexpr unsigned WM_HOTKEYSCHANGED = 0x0404;
// Main window → each page window every 400 ms, posted: wParam 1 muted, 0 not.
inline constexpr unsigned WM_PAGEMUTE = 0x0405;
// Add-account prompt → main window, posted: wParam 1 a new tab here, 0 a new window.
inline constexpr unsigned WM_ADDACCOUNT = 0x0406;
// Main window → each page window and the hall page, posted: reread the hotkeys.
inline constexpr unsigned WM_RELOADHOTKEYS = 0x0407;

// The notification-area icon's id and the mute broadcast's timer.
inline constexpr unsigned kTrayIconId = 1;
inline constexpr unsigned kMuteTimerId = 3;
inline constexpr unsigned kMuteTimerMs = 400;

} // namespace mainwnd
