#include "mainwnd/tab_geometry.h"

#include <gtest/gtest.h>

using namespace mainwnd;

TEST(TabGeometry, RectanglesOfTheSecondTab) {
    EXPECT_EQ(TabRect(1), (base::Rect{309, 3, 498, 25}));
    EXPECT_EQ(CloseBoxRect(1), (base::Rect{485, 3, 498, 16}));
    EXPECT_EQ(LabelRect(1), (base::Rect{325, 8, 485, 22}));
    EXPECT_EQ(StripRect(3), (base::Rect{120, 3, 687, 25}));
}

TEST(TabGeometry, HitRulesAtTheEdges) {
    struct Case {
        int x, y, count;
        int tab; // -1: no tab
        bool box;
    } cases[] = {
        {120, 10, 3, -1, false}, // the strip's left edge
        {121, 10, 3, 0, false},  {308, 20, 3, 0, false},  {309, 10, 3, 1, false},      {686, 20, 3, 2, false},
        {687, 10, 3, -1, false}, // x = 120 + 189 n
        {309, 10, 1, -1, false}, {200, 2, 1, -1, false},  {200, 3, 1, 0, false},       {200, 24, 1, 0, false},
        {200, 25, 1, -1, false}, {200, 10, 0, -1, false}, {296, 3, 1, 0, true},        {308, 15, 1, 0, true},
        {295, 10, 1, 0, false},  {300, 16, 1, 0, false},  {485 + 189, 15, 3, 2, true},
    };
    for (const Case& c : cases) {
        const std::optional<int> hit = HitTab({c.x, c.y}, c.count);
        EXPECT_EQ(hit.value_or(-1), c.tab) << c.x << "," << c.y << " of " << c.count;
        if (hit) {
            EXPECT_EQ(HitCloseBox({c.x, c.y}, *hit), c.box) << c.x << "," << c.y;
        }
    }
}

TEST(TabGeometry, ImageFramePrefersSelectionOverHover) {
    EXPECT_EQ(TabImageFrame(1, 1, 1), TabFrame::Selected);
    EXPECT_EQ(TabImageFrame(0, 1, 0), TabFrame::Hover);
    EXPECT_EQ(TabImageFrame(2, 1, 0), TabFrame::Normal);
}

TEST(TabHover, EnteringMovingAndLeaving) {
    HoverState s;
    HoverUpdate enter = TrackHover(s, {200, 10}, 2, false, false);
    EXPECT_EQ(enter.tooltip, TooltipOp::Activate);
    EXPECT_EQ(enter.invalidate, std::vector<base::Rect>{TabRect(0)});
    EXPECT_TRUE(enter.requestLeave);
    s.leaveRequested = true;

    HoverUpdate still = TrackHover(s, {210, 12}, 2, false, false);
    EXPECT_TRUE(still.invalidate.empty());
    EXPECT_EQ(still.tooltip, TooltipOp::None);
    EXPECT_FALSE(still.requestLeave);

    // Onto the close box: only the box repaints and the tip gives way.
    HoverUpdate box = TrackHover(s, {300, 5}, 2, false, false);
    EXPECT_EQ(box.invalidate, std::vector<base::Rect>{CloseBoxRect(0)});
    EXPECT_EQ(box.tooltip, TooltipOp::Deactivate);
    EXPECT_EQ(s.closeBoxState, CloseBoxState::Hot);
    TrackHover(s, {300, 5}, 2, true, false);
    EXPECT_EQ(s.closeBoxState, CloseBoxState::Pressed);

    // To the next tab: both tabs repaint; the tip comes back on the following hit test.
    HoverUpdate next = TrackHover(s, {400, 10}, 2, false, false);
    EXPECT_EQ(next.invalidate, (std::vector<base::Rect>{TabRect(0), TabRect(1)}));
    EXPECT_EQ(next.tooltip, TooltipOp::Activate);
    HoverUpdate again = TrackHover(s, {420, 10}, 2, false, false);
    EXPECT_EQ(again.tooltip, TooltipOp::None);

    HoverUpdate out = TrackHover(s, {50, 10}, 2, false, false);
    EXPECT_EQ(out.invalidate, std::vector<base::Rect>{TabRect(1)});
    EXPECT_EQ(out.tooltip, TooltipOp::Deactivate);
    EXPECT_EQ(s.hoverTab, -1);
    EXPECT_FALSE(s.tooltipActive);
}

TEST(TabHover, LeaveNotificationsAndCaptionPoints) {
    HoverState s;
    EXPECT_FALSE(TrackHover(s, {200, 10}, 1, false, true).requestLeave) << "caption reports no leave";
    s.leaveRequested = true;
    EXPECT_EQ(LeaveHover(s, false).invalidate, std::vector<base::Rect>{TabRect(0)});
    EXPECT_TRUE(s.leaveRequested) << "a non-client leave keeps the client request";
    EXPECT_TRUE(LeaveHover(s, true).invalidate.empty());
    EXPECT_FALSE(s.leaveRequested);
}
