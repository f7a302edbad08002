#include "ui/progress_fill.h"

#include <gtest/gtest.h>

using ui::FillSpan;

TEST(ProgressFill, FillIsCentredInTheTrack) {
    const auto same = ui::ComputeProgressGeometry(390, 21, 390, 21);
    EXPECT_EQ(same.bar, (base::Rect{0, 0, 390, 21}));
    EXPECT_EQ(same.fill, (base::Rect{0, 0, 390, 21}));
    const auto smaller = ui::ComputeProgressGeometry(390, 21, 381, 14);
    EXPECT_EQ(smaller.fill, (base::Rect{4, 3, 385, 17}));
}

TEST(ProgressFill, ShowsBothEndsAtEveryLength) {
    const base::Rect fill{0, 0, 390, 21};
    struct Case {
        int pos, filled;
        FillSpan left, right;
    } cases[] = {
        {0, 0, {0, 0, 0}, {390, 0, 0}},
        {1, 3, {0, 0, 1}, {388, 1, 2}}, // one column from the left end, two from the right end
        {37, 144, {0, 0, 72}, {318, 72, 72}},
        {50, 195, {0, 0, 97}, {292, 97, 98}},
        {100, 390, {0, 0, 195}, {195, 195, 195}}, // the whole image
    };
    for (const auto& c : cases) {
        const auto f = ui::ComputeProgressFill(fill, c.pos, 0, 100);
        EXPECT_EQ(f.filled, c.filled) << c.pos;
        EXPECT_EQ(f.left, c.left) << c.pos;
        EXPECT_EQ(f.right, c.right) << c.pos;
    }
}

TEST(ProgressFill, OffsetFillAndOddRanges) {
    // A fill placed at x = 4 draws there; the source columns stay image columns.
    const auto f = ui::ComputeProgressFill({4, 3, 385, 17}, 100, 0, 100);
    EXPECT_EQ(f.left, (FillSpan{0, 4, 190}));
    EXPECT_EQ(f.right, (FillSpan{190, 194, 191}));

    const base::Rect fill{0, 0, 390, 21};
    EXPECT_EQ(ui::ComputeProgressFill(fill, 5, 0, 0).filled, 0);       // empty range: nothing, no fault
    EXPECT_EQ(ui::ComputeProgressFill(fill, 150, 0, 100).filled, 390); // beyond the end: full
    EXPECT_EQ(ui::ComputeProgressFill(fill, -5, 0, 100).filled, 0);
    EXPECT_EQ(ui::ComputeProgressFill(fill, 60, 10, 110).filled, 195); // measured from the lower bound
}
