#include "ui/msgbox_layout.h"

#include <algorithm>

namespace ui {

namespace {
constexpr int kSideMargin = 60;      // total horizontal space around the wider of text and buttons
constexpr int kVerticalMargin = 90;  // caption band, space above the text and below the buttons
constexpr int kLineGap = 3;          // extra pixels between lines
constexpr int kTextTop = 55;         // first line's top, below the caption band
constexpr int kButtonBottomGap = 30; // buttons' bottom edge above the window's bottom
constexpr int kButtonHalfGap = 10;   // half the gap between two buttons
} // namespace

int CountMessageLines(std::wstring_view text) {
    return 1 + static_cast<int>(std::count(text.begin(), text.end(), L'\n'));
}

MsgBoxSize ComputeMsgBoxSize(int textWidth, int textHeight, int lines, int frameWidth, int frameHeight) {
    return {std::max(2 * frameWidth, textWidth) + kSideMargin,
            textHeight + frameHeight + kVerticalMargin + kLineGap * lines};
}

std::vector<MsgBoxButton> LayoutMsgBoxButtons(unsigned type, int width, int height, int frameWidth,
                                              int frameHeight) {
    const int bottom = height - kButtonBottomGap, top = bottom - frameHeight;
    if (type == kMsgBoxOkCancel || type == kMsgBoxYesNo) {
        const bool yesNo = type == kMsgBoxYesNo;
        const int mid = width / 2;
        return {
            {kMsgBoxFirstButtonId,
             {mid - kButtonHalfGap - frameWidth, top, mid - kButtonHalfGap, bottom},
             yesNo ? L"是" : L"确定"},
            {kMsgBoxSecondButtonId,
             {mid + kButtonHalfGap, top, mid + kButtonHalfGap + frameWidth, bottom},
             yesNo ? L"否" : L"取消"},
        };
    }
    const int left = (width - frameWidth) / 2;
    return {{kMsgBoxFirstButtonId, {left, top, left + frameWidth, bottom}, L"确定"}};
}

int MsgBoxResult(unsigned type, int commandId) {
    const bool yesNo = type == kMsgBoxYesNo;
    if (commandId == kMsgBoxFirstButtonId) return yesNo ? kMsgBoxIdYes : kMsgBoxIdOk;
    if (commandId == kMsgBoxSecondButtonId) return yesNo ? kMsgBoxIdNo : kMsgBoxIdCancel;
    return 0;
}

std::vector<MsgBoxLine> LayoutMsgBoxLines(std::wstring_view text, int width, int textWidth, int textHeight) {
    const int lineHeight = textHeight / CountMessageLines(text);
    base::Rect rect;
    rect.left = (width - textWidth) / 2;
    rect.right = rect.left + textWidth;
    rect.top = kTextTop;
    rect.bottom = kTextTop + lineHeight;

    std::vector<MsgBoxLine> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != L'\n') continue;
        lines.push_back({text.substr(start, i - start), rect});
        if (i + 1 == text.size()) return lines;
        rect.top += lineHeight + kLineGap;
        rect.bottom += lineHeight + kLineGap;
        start = i + 1;
    }
    lines.push_back({text.substr(start), rect});
    return lines;
}

} // namespace ui
