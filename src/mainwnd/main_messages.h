// The main window's own timer and icon ids; the window messages it shares with its page processes
// and pop-ups are numbered in base/page_protocol.h.
#pragma once
#include "base/page_protocol.h"

namespace mainwnd {

// The notification-area icon's id and the mute broadcast's timer.
inline constexpr unsigned kTrayIconId = 1;
inline constexpr unsigned kMuteTimerId = 3;
inline constexpr unsigned kMuteTimerMs = 400;

} // namespace mainwnd
