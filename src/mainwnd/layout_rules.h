// Arithmetic of the main window's layout: the content area where a page window sits, the caption
// controls that follow the right edge, and the smallest size the window may take with tabs open.
#pragma once
#include <array>

#include "mainwnd/tab_geometry.h"

namespace mainwnd {

constexpr int kCaptionHeight = 30;
constexpr int kBorderWidth = 4;
constexpr int kMinWindowHeight = 260;

// The content area of a client area of the given size: inset by the border on the left, right
// and bottom and by the caption band at the top. Never inverted: a window smaller than its frame
// (the 1 x 1 start size) gives an empty area at the inset corner.
Rect ContentArea(int clientWidth, int clientHeight);

// The smallest window width with `tabCount` tabs: every tab and the caption's own controls fit.
// 0 without tabs (no minimum).
int MinWindowWidth(int tabCount);

// Raises a requested window size to the minimum while tabs are open; true when something was raised.
bool EnforceMinimumSize(int tabCount, int& width, int& height);

// Where the caption controls go for client width cx, in the order hide to tray (1001), sound
// (1002), system menu (1003), other account (1005).
struct CaptionControl {
    int id;
    Rect rect;
};
std::array<CaptionControl, 4> CaptionControlRects(int cx);

} // namespace mainwnd
