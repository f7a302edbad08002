// Layout of the self-drawn label, decided without Windows: where the optional image and the
// text go, the draw flags from the static control's styles, and the character-wrapping of
// the text into lines with the height the label must grow to.
#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/geometry.h"

namespace ui {

// Probe text measured for the line height and an average character width (its ten
// characters and the terminating NUL: 11 units).
inline constexpr wchar_t kLabelProbeText[] = L"测试用汉字来获取宽度";
inline constexpr int kLabelProbeLength = 11;

// Where the text area starts and where the image is drawn for a label of the given client
// rectangle and image size (0 x 0 without image).
struct LabelImagePlacement {
    int imageX = 0, imageY = 0;
    base::Rect textArea;
};
LabelImagePlacement PlaceLabelImage(const base::Rect& client, int imageWidth, int imageHeight);

// Text-drawing flags (DT_*) for a static control style (SS_*).
unsigned LabelDrawFlags(unsigned style);

struct LabelLine {
    std::wstring text;
    base::Rect rect;
};

struct LabelLayout {
    std::vector<LabelLine> lines; // empty when the area is narrower than one character
    int neededHeight = 0;         // height the label must have to hold every line; 0 when empty
};

// Breaks text into lines by character: a line ends at '\n' ('\r' is dropped) or before the
// first character that would make it wider than the area. A character that is wider than the
// area even alone stands alone on its line. measure answers the width of a string on one line.
// lineHeight and charWidth come from the probe text; lines start lineHeight + lineSpacing apart.
LabelLayout WrapLabelText(std::wstring_view text, const base::Rect& area, int lineHeight, int charWidth,
                          int lineSpacing, const std::function<int(std::wstring_view)>& measure);

// The height the label's window must take: the needed height when it is lower, else unchanged.
inline int GrownLabelHeight(int currentHeight, int neededHeight) {
    return currentHeight < neededHeight ? neededHeight : currentHeight;
}

} // namespace ui
