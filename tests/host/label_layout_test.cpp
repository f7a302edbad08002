#include "ui/label_layout.h"

#include <gtest/gtest.h>

namespace {
// A measure with 12-px characters, 'W' 50 px wide, to stand in for the label font.
int Measure(std::wstring_view s) {
    int w = 0;
    for (wchar_t c : s)
        w += c == L'W' ? 50 : 12;
    return w;
}
std::vector<std::wstring> Texts(const ui::LabelLayout& layout) {
    std::vector<std::wstring> out;
    for (const auto& l : layout.lines)
        out.push_back(l.text);
    return out;
}
using Lines = std::vector<std::wstring>;
} // namespace

TEST(LabelLayout, WrapsByCharacterAndAtLineBreaks) {
    const base::Rect area{0, 0, 40, 30}; // room for three 12-px characters
    struct Case {
        const wchar_t* text;
        Lines lines;
    } cases[] = {
        {L"abc", {L"abc"}},
        {L"ab\r\ncd", {L"ab", L"cd"}},        // "\r\n" breaks once
        {L"abcdefg", {L"abc", L"def", L"g"}}, // breaks before the first character that does not fit
        {L"abc\n", {L"abc", L""}},            // the empty last line still counts
        {L"", {L""}},
        {L"aWb", {L"a", L"W", L"b"}}, // too wide even alone: alone on its line
        {L"W", {L"W"}},
        {L"W\nab", {L"W", L"ab"}},
    };
    for (const auto& c : cases) {
        const auto layout = ui::WrapLabelText(c.text, area, 12, 12, 3, Measure);
        EXPECT_EQ(Texts(layout), c.lines) << c.text;
    }
}

TEST(LabelLayout, SurrogatePairsAreNotSplit) {
    // Written as UTF-16 units, as Windows holds the text (the host's wchar_t may be wider).
    const wchar_t hi = static_cast<wchar_t>(0xD83D), lo = static_cast<wchar_t>(0xDE00);
    const std::wstring text{L'a', L'b', hi, lo, L'c'}; // the pair measures 24 px in this stand-in
    const auto layout = ui::WrapLabelText(text, {0, 0, 40, 30}, 12, 12, 3, Measure);
    EXPECT_EQ(Texts(layout), (Lines{L"ab", std::wstring{hi, lo, L'c'}}));
}

TEST(LabelLayout, LinesAreSpacedAndTheLabelGrows) {
    // Spacing 5 with 12-px lines: lines start 17 px apart; three lines need 46 px.
    const auto layout = ui::WrapLabelText(L"abcdefg", {0, 2, 40, 20}, 12, 12, 5, Measure);
    ASSERT_EQ(layout.lines.size(), 3u);
    EXPECT_EQ(layout.lines[0].rect, (base::Rect{0, 2, 40, 14}));
    EXPECT_EQ(layout.lines[1].rect, (base::Rect{0, 19, 40, 31}));
    EXPECT_EQ(layout.lines[2].rect, (base::Rect{0, 36, 40, 48}));
    EXPECT_EQ(layout.neededHeight, 46);
    EXPECT_EQ(ui::GrownLabelHeight(20, layout.neededHeight), 46);

    // One line in a label lower than the line height grows to the line height; labels never shrink.
    const auto one = ui::WrapLabelText(L"ab", {0, 0, 40, 8}, 17, 12, 3, Measure);
    EXPECT_EQ(one.neededHeight, 17);
    EXPECT_EQ(ui::GrownLabelHeight(8, one.neededHeight), 17);
    EXPECT_EQ(ui::GrownLabelHeight(60, one.neededHeight), 60);
}

TEST(LabelLayout, AreaNarrowerThanOneCharacterDrawsNothing) {
    const auto layout = ui::WrapLabelText(L"abc", {0, 0, 11, 30}, 12, 12, 3, Measure);
    EXPECT_TRUE(layout.lines.empty());
    EXPECT_EQ(layout.neededHeight, 0);
}

TEST(LabelLayout, ImageShiftsTheTextArea) {
    // Image 14 x 16 in a 100 x 30 label: image at (3, 7), text from x = 20.
    const auto withImage = ui::PlaceLabelImage({0, 0, 100, 30}, 14, 16);
    EXPECT_EQ(withImage.imageX, 3);
    EXPECT_EQ(withImage.imageY, 7);
    EXPECT_EQ(withImage.textArea, (base::Rect{20, 0, 100, 30}));
    EXPECT_EQ(ui::PlaceLabelImage({0, 0, 100, 30}, 0, 0).textArea, (base::Rect{0, 0, 100, 30}));
}

TEST(LabelLayout, DrawFlagsFromStaticStyles) {
    struct Case {
        unsigned style, flags;
    } cases[] = {
        {0x0, 0x10},          // SS_LEFT
        {0x1, 0x15},          // SS_CENTER
        {0x2, 0x12},          // SS_RIGHT
        {0x3, 0x10},          // SS_ICON is neither
        {0x100, 0x10},        // SS_NOTIFY changes nothing
        {0x4000, 0x8010},     // SS_ENDELLIPSIS
        {0x8000, 0x4030},     // SS_PATHELLIPSIS
        {0xC000, 0x10},       // SS_WORDELLIPSIS is neither of the two
        {0x201, 0x15 | 0x24}, // SS_CENTER | SS_CENTERIMAGE
    };
    for (const auto& c : cases)
        EXPECT_EQ(ui::LabelDrawFlags(c.style), c.flags) << std::hex << c.style;
}
