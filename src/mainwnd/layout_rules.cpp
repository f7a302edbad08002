#include "mainwnd/layout_rules.h"

#include <algorithm>

namespace mainwnd {

namespace {
constexpr int kCaptionControlsWidth = 483; // strip start and the caption buttons right of the tabs
} // namespace

int MinWindowWidth(int tabCount) {
    return tabCount > 0 ? kTabWidth * tabCount + kCaptionControlsWidth : 0;
}

bool EnforceMinimumSize(int tabCount, int& width, int& height) {
    if (tabCount <= 0) return false;
    bool raised = false;
    if (width < MinWindowWidth(tabCount)) {
        width = MinWindowWidth(tabCount);
        raised = true;
    }
    if (height < kMinWindowHeight) {
        height = kMinWindowHeight;
        raised = true;
    }
    return raised;
}

std::array<CaptionControl, 4> CaptionControlRects(int cx) {
    return {{
        {kHideControlId, {cx - 114, 0, cx - 114 + 27, 27}},
        {kSoundControlId, {cx - 141, 0, cx - 141 + 27, 27}},
        {kSystemControlId, {cx - 185, 0, cx - 185 + 44, 28}},
        {kOtherAccountControlId, {cx - 285, 7, cx - 285 + 92, 7 + 16}},
    }};
}

} // namespace mainwnd
