// Geometry and results of the skinned message box, decided without Windows: window size from
// the measured text, button rectangles and texts per button set, and where each line goes.
#pragma once
#include <string_view>
#include <vector>

#include "base/geometry.h"

namespace ui {

// Button sets and results use the platform message box's values.
constexpr unsigned kMsgBoxOk = 0, kMsgBoxOkCancel = 1, kMsgBoxYesNo = 4;
constexpr int kMsgBoxIdOk = 1, kMsgBoxIdCancel = 2, kMsgBoxIdYes = 6, kMsgBoxIdNo = 7;
// Command ids of the left and right button.
constexpr int kMsgBoxFirstButtonId = 5000, kMsgBoxSecondButtonId = 5001;

// 1 plus the number of '\n' in the text (a trailing '\n' counts too).
int CountMessageLines(std::wstring_view text);

struct MsgBoxSize {
    int width = 0, height = 0;
};

// Window size for a text measured as textWidth x textHeight on `lines` lines with a button
// frame of frameWidth x frameHeight.
MsgBoxSize ComputeMsgBoxSize(int textWidth, int textHeight, int lines, int frameWidth, int frameHeight);

struct MsgBoxButton {
    int id = 0;
    base::Rect rect; // client pixels
    const wchar_t* text = L"";
};

// The buttons of a button set in a client area of width x height: two for OK/Cancel and
// Yes/No, one "确定" for every other type.
std::vector<MsgBoxButton> LayoutMsgBoxButtons(unsigned type, int width, int height, int frameWidth,
                                              int frameHeight);

// The value the box ends with when the button with this command id is clicked; 0 for an id
// that is not one of the two buttons.
int MsgBoxResult(unsigned type, int commandId);

struct MsgBoxLine {
    std::wstring_view text; // the characters drawn, up to (not including) the '\n'
    base::Rect rect;        // client pixels
};

// Lines of the text as drawn in a client area `width` wide: a block textWidth wide centred
// horizontally, first line at y = 55, lines lineHeight + 3 apart where lineHeight is
// textHeight / lines. A trailing '\n' draws no empty last line; a '\r' before a '\n' stays
// with its line. The views point into `text`.
std::vector<MsgBoxLine> LayoutMsgBoxLines(std::wstring_view text, int width, int textWidth, int textHeight);

} // namespace ui
