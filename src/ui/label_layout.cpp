#include "ui/label_layout.h"

namespace ui {

namespace {
// Static control styles and text-drawing flags, with the platform's values.
constexpr unsigned kSsTypeMask = 0x1F, kSsCenter = 0x1, kSsRight = 0x2;
constexpr unsigned kSsCenterImage = 0x200;
constexpr unsigned kSsEllipsisMask = 0xC000, kSsEndEllipsis = 0x4000, kSsPathEllipsis = 0x8000;
constexpr unsigned kDtWordBreak = 0x10, kDtCenterWordBreak = 0x15, kDtRightWordBreak = 0x12;
constexpr unsigned kDtEndEllipsis = 0x8000, kDtPathEllipsisSingleLine = 0x4020, kDtVCenterSingleLine = 0x24;

constexpr int kImageLeft = 3; // image's x inside the label
constexpr int kImageGap = 6;  // text starts this far right of the image's width

bool IsHighSurrogate(wchar_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(wchar_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}
} // namespace

LabelImagePlacement PlaceLabelImage(const base::Rect& client, int imageWidth, int imageHeight) {
    LabelImagePlacement p;
    p.imageX = kImageLeft;
    p.imageY = (client.Height() - imageHeight) / 2;
    p.textArea = client;
    if (imageWidth != 0) p.textArea.left += imageWidth + kImageGap;
    return p;
}

unsigned LabelDrawFlags(unsigned style) {
    unsigned flags = kDtWordBreak;
    // The alignment is the control's type value, not a bit: SS_RIGHT (2) is not SS_CENTER (1).
    if ((style & kSsTypeMask) == kSsCenter)
        flags = kDtCenterWordBreak;
    else if ((style & kSsTypeMask) == kSsRight)
        flags = kDtRightWordBreak;
    // SS_WORDELLIPSIS sets both ellipsis bits; only the exact values select these flags.
    if ((style & kSsEllipsisMask) == kSsEndEllipsis) flags |= kDtEndEllipsis;
    if ((style & kSsEllipsisMask) == kSsPathEllipsis) flags |= kDtPathEllipsisSingleLine;
    if (style & kSsCenterImage) flags |= kDtVCenterSingleLine;
    return flags;
}

LabelLayout WrapLabelText(std::wstring_view text, const base::Rect& area, int lineHeight, int charWidth,
                          int lineSpacing, const std::function<int(std::wstring_view)>& measure) {
    LabelLayout layout;
    base::Rect r = area;
    r.bottom = r.top + lineHeight;
    if (r.Width() < charWidth) return layout;

    std::wstring line;
    auto flush = [&] {
        layout.lines.push_back({line, r});
        r.top += lineHeight + lineSpacing;
        r.bottom += lineHeight + lineSpacing;
        line.clear();
    };
    for (size_t i = 0; i < text.size();) {
        const wchar_t c = text[i];
        if (c == L'\r') {
            ++i;
            continue;
        }
        if (c == L'\n') {
            flush();
            ++i;
            continue;
        }
        // A surrogate pair is one character: it is never split across lines.
        const size_t units =
            (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) ? 2 : 1;
        const bool wasEmpty = line.empty();
        line.append(text.substr(i, units));
        if (measure(line) > r.Width() && !wasEmpty) {
            // Does not fit: end the line before it and take it again on the next line.
            line.resize(line.size() - units);
            flush();
            continue;
        }
        // It fits, or it is too wide even alone: then it stays alone on this line, and the
        // next character no longer fits beside it.
        i += units;
    }
    layout.lines.push_back({line, r});
    const int count = static_cast<int>(layout.lines.size());
    layout.neededHeight = (count - 1) * (lineHeight + lineSpacing) + lineHeight;
    return layout;
}

} // namespace ui
