#include "ui/msgbox_layout.h"

#include <gtest/gtest.h>

// The program's button strip: frames of 57 x 23.
constexpr int kFrameW = 57, kFrameH = 23;

TEST(MsgBoxLayout, CountsLinesIncludingATrailingBreak) {
    struct Case {
        const wchar_t* text;
        int lines;
    } cases[] = {{L"", 1}, {L"缓存清除完毕！", 1}, {L"a\r\nb", 2}, {L"a\n", 2}, {L"\n\n", 3}};
    for (const auto& c : cases)
        EXPECT_EQ(ui::CountMessageLines(c.text), c.lines) << c.text;
}

TEST(MsgBoxLayout, WindowSizeFollowsTextAndButtonFrame) {
    struct Case {
        int tw, th, lines, width, height;
    } cases[] = {
        {50, 12, 1, 2 * 57 + 60, 12 + 23 + 90 + 3}, // narrow text: the two frames decide
        {114, 12, 1, 114 + 60, 12 + 23 + 90 + 3},   // exactly two frames wide
        {300, 24, 2, 360, 24 + 23 + 90 + 6},        // wide two-line text
    };
    for (const auto& c : cases) {
        const auto size = ui::ComputeMsgBoxSize(c.tw, c.th, c.lines, kFrameW, kFrameH);
        EXPECT_EQ(size.width, c.width) << c.tw;
        EXPECT_EQ(size.height, c.height) << c.tw;
    }
}

TEST(MsgBoxLayout, ButtonSetsHaveTheirPlacesAndTexts) {
    const int w = 241, h = 160; // odd width: halves truncate
    const base::Rect left{120 - 10 - 57, 160 - 30 - 23, 110, 130};
    const base::Rect right{130, 107, 130 + 57, 130};
    const base::Rect single{(241 - 57) / 2, 107, (241 - 57) / 2 + 57, 130};
    struct Case {
        unsigned type;
        std::vector<std::pair<base::Rect, std::wstring>> buttons;
    } cases[] = {
        {0, {{single, L"确定"}}},
        {1, {{left, L"确定"}, {right, L"取消"}}},
        {4, {{left, L"是"}, {right, L"否"}}},
        {2, {{single, L"确定"}}},
        {3, {{single, L"确定"}}},
        {5, {{single, L"确定"}}},
    };
    for (const auto& c : cases) {
        const auto buttons = ui::LayoutMsgBoxButtons(c.type, w, h, kFrameW, kFrameH);
        ASSERT_EQ(buttons.size(), c.buttons.size()) << "type " << c.type;
        for (size_t i = 0; i < buttons.size(); ++i) {
            EXPECT_EQ(buttons[i].id, 5000 + static_cast<int>(i)) << "type " << c.type;
            EXPECT_EQ(buttons[i].rect, c.buttons[i].first) << "type " << c.type << " button " << i;
            EXPECT_EQ(buttons[i].text, c.buttons[i].second) << "type " << c.type << " button " << i;
        }
    }
}

TEST(MsgBoxLayout, ResultsFollowTheButtonSet) {
    struct Case {
        unsigned type;
        int first, second;
    } cases[] = {{0, 1, 2}, {1, 1, 2}, {4, 6, 7}, {2, 1, 2}, {5, 1, 2}};
    for (const auto& c : cases) {
        EXPECT_EQ(ui::MsgBoxResult(c.type, 5000), c.first) << c.type;
        EXPECT_EQ(ui::MsgBoxResult(c.type, 5001), c.second) << c.type;
        EXPECT_EQ(ui::MsgBoxResult(c.type, 1), 0) << c.type; // IDOK from Enter is not a button
    }
}

TEST(MsgBoxLayout, LinesFormACentredBlockBelowTheCaption) {
    // Two lines measured 200 x 34 in a 261-px window: line height 17, lines 20 px apart.
    const std::wstring text = L"Vexa - Tarn已成功移除，部分文件将在程序退出\r\n或计算机重启后自行删除";
    const auto lines = ui::LayoutMsgBoxLines(text, 261, 200, 34);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].text, L"Vexa - Tarn已成功移除，部分文件将在程序退出\r"); // the '\r' stays
    EXPECT_EQ(lines[0].rect, (base::Rect{30, 55, 230, 72}));
    EXPECT_EQ(lines[1].text, L"或计算机重启后自行删除");
    EXPECT_EQ(lines[1].rect, (base::Rect{30, 75, 230, 92}));
}

TEST(MsgBoxLayout, TrailingBreakDrawsNoEmptyLine) {
    struct Case {
        const wchar_t* text;
        std::vector<std::wstring> drawn;
    } cases[] = {
        {L"one", {L"one"}},
        {L"one\n", {L"one"}},
        {L"one\n\ntwo", {L"one", L"", L"two"}},
        {L"", {L""}},
    };
    for (const auto& c : cases) {
        const auto lines = ui::LayoutMsgBoxLines(c.text, 200, 100, 36);
        ASSERT_EQ(lines.size(), c.drawn.size()) << c.text;
        for (size_t i = 0; i < lines.size(); ++i)
            EXPECT_EQ(lines[i].text, c.drawn[i]) << c.text;
    }
    // "one\n" counts two lines for the height: 36 / 2 = 18 per line.
    EXPECT_EQ(ui::LayoutMsgBoxLines(L"one\n", 200, 100, 36)[0].rect.Height(), 18);
}
