#include "mainwnd/tab_geometry.h"

namespace mainwnd {

namespace {
constexpr int kCloseBoxLeft = kStripLeft + kTabWidth - kCloseBoxSize; // 296
constexpr int kLabelLeft = kStripLeft + 16;                           // 136
constexpr int kLabelTop = 8;
constexpr int kLabelBottom = 22;
constexpr int kHitBottom = kTabBottom - 1; // the last row that hits a tab
} // namespace

base::Rect TabRect(int index) {
    const int left = kStripLeft + kTabWidth * index;
    return {left, kTabTop, left + kTabWidth, kTabBottom};
}

base::Rect CloseBoxRect(int index) {
    const int left = kCloseBoxLeft + kTabWidth * index;
    return {left, kTabTop, left + kCloseBoxSize, kTabTop + kCloseBoxSize};
}

base::Rect LabelRect(int index) {
    const int shift = kTabWidth * index;
    return {kLabelLeft + shift, kLabelTop, kCloseBoxLeft + shift, kLabelBottom};
}

base::Rect StripRect(int count) {
    return {kStripLeft, kTabTop, kStripLeft + kTabWidth * count, kTabBottom};
}

std::optional<int> HitTab(base::Point p, int count) {
    if (count <= 0 || p.y < kTabTop || p.y > kHitBottom) return std::nullopt;
    if (p.x <= kStripLeft || p.x >= kStripLeft + kTabWidth * count) return std::nullopt;
    return (p.x - kStripLeft) / kTabWidth;
}

bool HitCloseBox(base::Point p, int index) {
    const base::Rect box = CloseBoxRect(index);
    return p.x >= box.left && p.x < box.right && p.y < box.bottom;
}

TabFrame TabImageFrame(int index, int curTab, int hoverTab) {
    if (index == curTab) return TabFrame::Selected;
    return index == hoverTab ? TabFrame::Hover : TabFrame::Normal;
}

HoverUpdate TrackHover(HoverState& state, base::Point p, int count, bool leftDown, bool frameCaption) {
    HoverUpdate update;
    const std::optional<int> hit = HitTab(p, count);
    if (!hit) {
        if (state.hoverTab != -1) update.invalidate.push_back(TabRect(state.hoverTab));
        update.tooltip = TooltipOp::Deactivate;
        state.hoverTab = -1;
        state.closeBoxState = CloseBoxState::None;
        state.tooltipActive = false;
        return update;
    }
    const int i = *hit;
    CloseBoxState s = CloseBoxState::Normal;
    // A tooltip shown for one tab is hidden when the pointer reaches the next one; the following
    // hit test shows it again with the new label.
    if (!state.tooltipActive) {
        update.tooltip = TooltipOp::Activate;
        state.tooltipActive = true;
    } else if (i != state.hoverTab) {
        update.tooltip = TooltipOp::Deactivate;
        state.tooltipActive = false;
    }
    if (HitCloseBox(p, i)) {
        s = leftDown ? CloseBoxState::Pressed : CloseBoxState::Hot;
        update.tooltip = TooltipOp::Deactivate; // the box would be hidden under the tip
        state.tooltipActive = false;
    }
    if (i != state.hoverTab || s != state.closeBoxState) {
        const int old = state.hoverTab;
        state.hoverTab = i;
        state.closeBoxState = s;
        if (old != -1) update.invalidate.push_back(old == i ? CloseBoxRect(old) : TabRect(old));
        if (old != i) update.invalidate.push_back(TabRect(i));
    }
    update.requestLeave = !state.leaveRequested && !frameCaption;
    return update;
}

HoverUpdate LeaveHover(HoverState& state, bool clientLeave) {
    HoverUpdate update;
    if (state.hoverTab != -1 || state.closeBoxState != CloseBoxState::None) {
        if (state.hoverTab >= 0) update.invalidate.push_back(TabRect(state.hoverTab));
        state.hoverTab = -1;
        state.closeBoxState = CloseBoxState::None;
    }
    if (clientLeave) state.leaveRequested = false;
    return update;
}

void ResetHover(HoverState& state) {
    state.hoverTab = -1;
    state.closeBoxState = CloseBoxState::None;
}

} // namespace mainwnd
