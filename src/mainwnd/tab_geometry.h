// Tab strip of the main window: where each tab, label and close box lies in client pixels, which
// point hits what, and how the hover state and the tooltip follow the pointer.
#pragma once
#include <optional>
#include <vector>

#include "base/geometry.h"

namespace mainwnd {

constexpr int kStripLeft = 120; // left of it lies the frame's caption
constexpr int kTabWidth = 189;
constexpr int kTabTop = 3;
constexpr int kTabBottom = 25;
constexpr int kCloseBoxSize = 13;

// Image frames of the tab strip (resource 140) and of the close box (resource 141).
enum class TabFrame { Normal = 0, Hover = 1, Selected = 2 };
enum class CloseBoxState { None = -1, Normal = 0, Hot = 1, Pressed = 2 };
// The frame's index in its image list (a close box in state None is not drawn).
constexpr int ImageIndex(TabFrame frame) {
    return static_cast<int>(frame);
}
constexpr int ImageIndex(CloseBoxState state) {
    return static_cast<int>(state);
}

base::Rect TabRect(int index);
base::Rect CloseBoxRect(int index);
base::Rect LabelRect(int index);
// The whole strip of `count` tabs, as invalidated when a tab is added.
base::Rect StripRect(int count);

// The tab under the point, or nothing. The strip's left edge and its right end (x = 120 + 189 n)
// belong to no tab, so the index is always below `count`.
std::optional<int> HitTab(base::Point p, int count);
// Whether the point lies on the close box of tab `index` (the point being on that tab).
bool HitCloseBox(base::Point p, int index);

// Which tab image frame tab `index` is drawn with.
TabFrame TabImageFrame(int index, int curTab, int hoverTab);

// Hover state kept by the main window; the tooltip covers the whole window and takes its text,
// the hovered tab's full label, on demand.
struct HoverState {
    int hoverTab = -1;
    CloseBoxState closeBoxState = CloseBoxState::None;
    bool tooltipActive = false;
    bool leaveRequested = false; // a mouse-leave notification is pending
};

enum class TooltipOp { None, Activate, Deactivate };

struct HoverUpdate {
    std::vector<base::Rect> invalidate;
    TooltipOp tooltip = TooltipOp::None; // Activate: show the label of the hovered tab
    bool requestLeave = false;           // ask for a leave notification; store the outcome
};

// Follows the pointer at each hit test. `leftDown` is the left button's state; `frameCaption`
// tells that the frame reported the point as caption, where no leave notification is requested.
HoverUpdate TrackHover(HoverState& state, base::Point p, int count, bool leftDown, bool frameCaption);

// The pointer left the window (client or non-client leave notification).
HoverUpdate LeaveHover(HoverState& state, bool clientLeave);

// Forgets the hover after a tab was closed or its closing refused.
void ResetHover(HoverState& state);

} // namespace mainwnd
