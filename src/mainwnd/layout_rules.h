// Arithmetic of the main window's layout: the caption controls that follow the right edge and the
// smallest size the window may take with tabs open (the content area is in base/page_protocol.h).
#pragma once
#include <array>

#include "base/page_protocol.h"
#include "mainwnd/tab_geometry.h"

namespace mainwnd {

constexpr int kMinWindowHeight = 260;

// The smallest window width with `tabCount` tabs: every tab and the caption's own controls fit.
// 0 without tabs (no minimum).
int MinWindowWidth(int tabCount);

// Raises a requested window size to the minimum while tabs are open; true when something was raised.
bool EnforceMinimumSize(int tabCount, int& width, int& height);

// The caption controls' ids in the main window's dialog template (its IDC_MAIN_* values, which
// the window's own file checks these against).
inline constexpr int kHideControlId = 1001;
inline constexpr int kSoundControlId = 1002;
inline constexpr int kSystemControlId = 1003;
inline constexpr int kOtherAccountControlId = 1005;

// Where the caption controls go for client width cx, in the order hide to tray, sound, system
// menu, other account.
struct CaptionControl {
    int id;
    base::Rect rect;
};
std::array<CaptionControl, 4> CaptionControlRects(int cx);

} // namespace mainwnd
