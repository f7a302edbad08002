#include "ui/frame_geometry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <utility>

using base::Box;
using ui::BlitStep;
using ui::FrameLayout;

namespace {

constexpr int kDef = ui::kHitDefault;

} // namespace

TEST(FrameHitTest, DragAndResizeZones) {
    const FrameLayout fixedNoBand{-1, 3, false};
    const FrameLayout fixedBand{30, 4, false};
    const FrameLayout sizing{30, 4, true};
    const FrameLayout sizingNoBand{-1, 4, true};
    struct Case {
        FrameLayout layout;
        bool maximized;
        int x, y;
        int expected;
    } cases[] = {
        // No band, fixed size: every point drags.
        {fixedNoBand, false, 0, 0, ui::kHitCaption},
        {fixedNoBand, false, 100, 150, ui::kHitCaption},
        {fixedNoBand, false, 199, 199, ui::kHitCaption},
        // A band, fixed size: only the band drags, the border does not resize.
        {fixedBand, false, 0, 0, ui::kHitCaption},
        {fixedBand, false, 150, 29, ui::kHitCaption},
        {fixedBand, false, 150, 30, kDef},
        {fixedBand, false, 0, 100, kDef},
        // Resizable: corners are B x B, the top zone is 3 rows even with B = 4.
        {sizing, false, 0, 0, ui::kHitTopLeft},
        {sizing, false, 3, 3, ui::kHitTopLeft},
        {sizing, false, 3, 4, ui::kHitLeft},
        {sizing, false, 4, 0, ui::kHitTop},
        {sizing, false, 100, 2, ui::kHitTop},
        {sizing, false, 100, 3, ui::kHitCaption},
        {sizing, false, 100, 29, ui::kHitCaption},
        {sizing, false, 100, 30, kDef},
        {sizing, false, 100, 195, kDef},
        {sizing, false, 100, 196, ui::kHitBottom},
        {sizing, false, 100, 199, ui::kHitBottom},
        {sizing, false, 196, 0, ui::kHitTopRight},
        {sizing, false, 199, 100, ui::kHitRight},
        {sizing, false, 199, 199, ui::kHitBottomRight},
        {sizing, false, 0, 196, ui::kHitBottomLeft},
        {sizing, false, 0, 100, ui::kHitLeft},
        // Resizable without a band: no bottom zone between the corners.
        {sizingNoBand, false, 100, 199, ui::kHitCaption},
        {sizingNoBand, false, 100, 1, ui::kHitTop},
        {sizingNoBand, false, 100, 100, ui::kHitCaption},
        {sizingNoBand, false, 1, 198, ui::kHitBottomLeft},
        // Maximized: neither dragged nor resized.
        {sizing, true, 0, 0, kDef},
        {sizing, true, 100, 10, kDef},
        {fixedNoBand, true, 100, 10, kDef},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ui::FrameHitTest(c.layout, c.maximized, c.x, c.y, 200, 200), c.expected)
            << "C=" << c.layout.caption << " B=" << c.layout.border << " resizable=" << c.layout.resizable
            << " maximized=" << c.maximized << " at " << c.x << "," << c.y;
    }
}

TEST(FrameHitTest, EdgeCodesStartTheirSizingCommand) {
    const std::pair<int, unsigned> cases[] = {
        {ui::kHitLeft, 0xF001},
        {ui::kHitRight, 0xF002},
        {ui::kHitTop, 0xF003},
        {ui::kHitTopLeft, 0xF004},
        {ui::kHitTopRight, 0xF005},
        {ui::kHitBottom, 0xF006},
        {ui::kHitBottomLeft, 0xF007},
        {ui::kHitBottomRight, 0xF008},
        {ui::kHitCaption, 0},
        {kDef, 0},
        {1, 0},
    };
    for (const auto& [hit, command] : cases)
        EXPECT_EQ(ui::SizeCommandForHit(hit), command) << hit;
}

TEST(NineSlice, StretchModeCutsNinePiecesInOrder) {
    const auto steps = ui::NineSliceSteps(30, 51, 400, 300, FrameLayout{30, 4, true}, true);
    const std::vector<BlitStep> expected = {
        {false, {0, 0, 4, 30}, {0, 0, 4, 30}},      {true, {4, 0, 22, 30}, {4, 0, 392, 30}},
        {false, {26, 0, 4, 30}, {396, 0, 4, 30}},   {true, {0, 30, 4, 17}, {0, 30, 4, 266}},
        {true, {26, 30, 4, 17}, {396, 30, 4, 266}}, {true, {4, 30, 22, 17}, {4, 30, 392, 266}},
        {false, {0, 47, 4, 4}, {0, 296, 4, 4}},     {true, {4, 47, 22, 4}, {4, 296, 392, 4}},
        {false, {26, 47, 4, 4}, {396, 296, 4, 4}},
    };
    EXPECT_EQ(steps, expected);
}

TEST(NineSlice, OneToOneModeCopiesTheImageAndRedrawsRightAndBottomEdges) {
    const auto steps = ui::NineSliceSteps(284, 150, 284, 150, FrameLayout{30, 3, false}, false);
    const std::vector<BlitStep> expected = {
        {false, {0, 0, 284, 150}, {0, 0, 284, 150}},  {false, {281, 0, 3, 30}, {281, 0, 3, 30}},
        {true, {281, 30, 3, 117}, {281, 30, 3, 117}}, {false, {0, 147, 3, 3}, {0, 147, 3, 3}},
        {true, {3, 147, 278, 3}, {3, 147, 278, 3}},   {false, {281, 147, 3, 3}, {281, 147, 3, 3}},
    };
    EXPECT_EQ(steps, expected);
}

TEST(NineSlice, WithoutBandTheTopStripIsAsThickAsTheBorder) {
    const auto steps = ui::NineSliceSteps(30, 51, 100, 80, FrameLayout{-1, 4, false}, true);
    ASSERT_EQ(steps.size(), 9u);
    EXPECT_EQ(steps[0].src, (base::Box{0, 0, 4, 4}));
    EXPECT_EQ(steps[3].src, (base::Box{0, 4, 4, 43}));
    EXPECT_EQ(steps[3].dst, (base::Box{0, 4, 4, 72}));
}

TEST(NineSlice, PiecesWithoutAreaAreLeftOut) {
    // Narrower than two borders and lower than band plus border: no mirrored strips.
    const auto steps = ui::NineSliceSteps(30, 51, 6, 32, FrameLayout{30, 4, true}, true);
    for (const auto& s : steps) {
        EXPECT_GT(s.src.w, 0);
        EXPECT_GT(s.src.h, 0);
        EXPECT_GT(s.dst.w, 0);
        EXPECT_GT(s.dst.h, 0);
    }
    EXPECT_EQ(steps.size(), 4u); // the four corners
    // A 1:1 image larger than the window is copied only as far as the window reaches.
    const auto small = ui::NineSliceSteps(284, 150, 100, 60, FrameLayout{30, 3, false}, false);
    EXPECT_EQ(small.front().src, (base::Box{0, 0, 100, 60}));
}

TEST(CaptionText, IconAndTitlePositions) {
    struct Case {
        int caption, border, fontHeight;
        bool icon;
        base::Point title, iconAt;
    } cases[] = {
        {-1, 3, 12, false, {8, 4}, {3, 6}}, // no band: title at y 4, icon at y 6
        {-1, 3, 12, true, {24, 4}, {3, 6}}, // the icon moves the title 16 px right
        {30, 4, 12, false, {9, 7}, {4, 7}}, // 12-px font: y 7
        {30, 4, 11, false, {9, 8}, {4, 7}}, // 11-px font: y 8
        {30, 4, 13, true, {25, 7}, {4, 7}},
        {10, 4, 40, false, {9, 4}, {4, -2}}, // text taller than the band: as without one
    };
    for (const auto& c : cases) {
        const FrameLayout layout{c.caption, c.border, false};
        EXPECT_EQ(ui::TitleOrigin(layout, c.fontHeight, c.icon), c.title) << c.caption << "/" << c.fontHeight;
        EXPECT_EQ(ui::IconOrigin(layout), c.iconAt) << c.caption;
    }
}

namespace {

std::set<std::pair<int, int>> Holes(int bw, int bh, int w, int h,
                                    const std::set<std::pair<int, int>>& keyed) {
    std::set<std::pair<int, int>> out;
    for (auto p : ui::CornerHoles(bw, bh, w, h, [&](int x, int y) { return keyed.count({x, y}) > 0; })) {
        out.insert({p.x, p.y});
    }
    return out;
}

} // namespace

TEST(CornerHoles, KeyPixelsNearCornersShapeTheWindowAndFollowTheBottomEdge) {
    // Rounded top-left, a single top-right pixel, a bottom row of two; (15, 25) lies in
    // the middle and (10, 0) beyond the 9-pixel reach: neither shapes the window.
    const std::set<std::pair<int, int>> keyed = {{0, 0},   {1, 0},   {0, 1},   {29, 0}, {0, 50},
                                                 {28, 50}, {29, 50}, {15, 25}, {10, 0}};
    const std::set<std::pair<int, int>> at400x300 = {{0, 0},   {1, 0},     {0, 1},    {399, 0},
                                                     {0, 299}, {398, 299}, {399, 299}};
    EXPECT_EQ(Holes(30, 51, 400, 300, keyed), at400x300);
    const std::set<std::pair<int, int>> at250x120 = {{0, 0},   {1, 0},     {0, 1},    {249, 0},
                                                     {0, 119}, {248, 119}, {249, 119}};
    EXPECT_EQ(Holes(30, 51, 250, 120, keyed), at250x120);
}

TEST(CornerHoles, ShortImagesCountTheirRowsAsBottomRowsToo) {
    // A 5 x 5 image: rows above it are not key, its own rows are both top and bottom rows,
    // and the right corners see the image aligned with the window's right edge.
    EXPECT_EQ(Holes(5, 5, 100, 100, {{0, 0}}),
              (std::set<std::pair<int, int>>{{0, 0}, {0, 95}, {95, 0}, {95, 95}}));
    // Squares that fall outside a window smaller than the image are dropped.
    EXPECT_EQ(Holes(30, 51, 20, 20, {{0, 50}}), (std::set<std::pair<int, int>>{{0, 19}}));
}

TEST(MaximizeRestore, WorkAreaRectangles) {
    const base::Rect wa{0, 0, 1600, 1000};
    EXPECT_EQ(ui::InitialRestoreRect(wa), (base::Rect{200, 125, 1400, 875}));
    EXPECT_EQ(ui::InitialRestoreRect({100, 40, 1699, 1039}), (base::Rect{299, 164, 1500, 915}));
    struct Case {
        base::Rect work;
        int maxW, maxH;
        base::Rect expected;
    } cases[] = {
        {wa, 1600, 1000, wa},                                     // default: fills the work area
        {wa, 1000, 1000, {300, 0, 1300, 1000}},                   // centred horizontally
        {wa, 1600, 801, {0, 99, 1600, 901}},                      // odd difference: truncated
        {wa, 2000, 1200, wa},                                     // larger limits do not grow it
        {{100, 30, 1700, 1030}, 800, 600, {500, 230, 1300, 830}}, // work area not at the origin
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ui::MaximizedRect(c.work, c.maxW, c.maxH), c.expected) << c.maxW << "x" << c.maxH;
    }
}

TEST(CaptionButtonLayout, RightToLeftFromTheCloseButton) {
    struct Case {
        int width, right, gap;
        ui::CaptionButtons widths, lefts;
    } cases[] = {
        {800, 0, 0, {33, 27, 27}, {767, 740, 713}}, // main window
        {800, 0, 2, {33, 27, 27}, {767, 738, 709}}, // the gap is applied between buttons
        {800, 0, 0, {33, 0, 27}, {767, 0, 740}},    // no maximize: minimize beside close
        {400, 5, 0, {33, 0, 0}, {362, 0, 0}},       // a dialog with only a close button
    };
    for (const auto& c : cases) {
        const auto lefts = ui::SkinButtonLefts(c.width, c.right, c.gap, c.widths);
        EXPECT_EQ(lefts.close, c.lefts.close);
        if (c.widths.maximize) {
            EXPECT_EQ(lefts.maximize, c.lefts.maximize);
        }
        if (c.widths.minimize) {
            EXPECT_EQ(lefts.minimize, c.lefts.minimize);
        }
    }
    // After a resize the buttons that exist are packed again, without the gap.
    EXPECT_EQ(ui::ResizedButtonLefts(1000, 0, {33, 27, 27}), (ui::CaptionButtons{967, 940, 913}));
    EXPECT_EQ(ui::ResizedButtonLefts(1000, 5, {33, 0, 27}), (ui::CaptionButtons{962, 0, 935}));
}

TEST(ImageButton, FrameChoiceAndPressedLatch) {
    struct Case {
        bool disabled, selected, latched, hover;
        ui::ButtonLook expected;
    } cases[] = {
        {false, false, false, false, {0, false}}, {false, false, false, true, {1, false}},
        {false, true, false, true, {2, true}},  // pressed: latch set
        {false, false, true, false, {2, true}}, // dragged off while held: still pressed
        {true, true, false, true, {3, false}},  // disabled wins over everything
        {true, false, true, false, {3, true}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ui::ChooseButtonFrame(c.disabled, c.selected, c.latched, c.hover), c.expected)
            << c.disabled << c.selected << c.latched << c.hover;
    }
}
