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

// Where the caption controls go for client width cx, in the order hide to tray (1001), sound
// (1002), system menu (1003), other account (1005).
struct CaptionControl {
    int id;
    base::Rect rect;
};
std::array<CaptionControl, 4> CaptionControlRects(int cx);

} // namespace mainwnd
