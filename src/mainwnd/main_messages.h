// The main window's own timer, icon and message ids; the window messages it shares with its page
// processes and pop-ups are numbered in base/page_protocol.h.
#pragma once
#include "base/page_protocol.h"

namespace mainwnd {

// The notification-area icon's id and the mute broadcast's timer.
inline constexpr unsigned kTrayIconId = 1;
inline constexpr unsigned kMuteTimerId = 3;
inline constexpr unsigned kMuteTimerMs = 400;

// Posted by the keyboard hook to its window: a global hotkey went down (wParam: which one, a
// base::GlobalHotkey). WM_APP + 0x41, in the application's own range: no system or dialog
// message and none of the shared ones in base/page_protocol.h.
inline constexpr unsigned WM_GLOBALHOTKEY = 0x8000 + 0x41;
// Posted by the window to itself once it has taken a page's "entergame": the request is settled
// (question, download, start) after the page's message has been answered.
inline constexpr unsigned WM_SETTLEENTERGAME = 0x8000 + 0x42;

} // namespace mainwnd
