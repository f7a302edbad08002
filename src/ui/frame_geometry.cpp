// Geometry of the skinned dialog frame and its image buttons.
#include "ui/frame_geometry.h"

#include <algorithm>

namespace ui {

namespace {

// The key colour shapes the window only this close to a corner of the skin.
constexpr int kCornerReach = 9;
// The top resize zone is this thin whatever the border is, so the caption band below it
// stays draggable.
constexpr int kTopResizeZone = 3;

bool HasArea(const base::Box& b) {
    return b.w > 0 && b.h > 0;
}

} // namespace

int TopStripHeight(const FrameLayout& layout) {
    return layout.caption == -1 ? layout.border : layout.caption;
}

bool InCaptionBand(int y, int caption) {
    return caption == -1 || (y >= 0 && y < caption);
}

std::vector<BlitStep> NineSliceSteps(int imageW, int imageH, int windowW, int windowH,
                                     const FrameLayout& layout, bool stretch) {
    const int b = layout.border;
    const int t = TopStripHeight(layout);
    const int bw = imageW, bh = imageH, w = windowW, h = windowH;
    auto copy = [](base::Box src, base::Point to) {
        return BlitStep{false, src, base::Box{to.x, to.y, src.w, src.h}};
    };
    auto scale = [](base::Box src, base::Box dst) { return BlitStep{true, src, dst}; };

    std::vector<BlitStep> steps;
    if (stretch) {
        steps.push_back(copy({0, 0, b, t}, {0, 0}));
        steps.push_back(scale({b, 0, bw - 2 * b, t}, {b, 0, w - 2 * b, t}));
    } else {
        // 1:1: the image as far as both it and the window reach; the edges follow.
        steps.push_back(copy({0, 0, std::min(w, bw), std::min(h, bh)}, {0, 0}));
    }
    steps.push_back(copy({bw - b, 0, b, t}, {w - b, 0}));
    if (stretch) {
        steps.push_back(scale({0, t, b, bh - t - b}, {0, t, b, h - t - b}));
    }
    steps.push_back(scale({bw - b, t, b, bh - t - b}, {w - b, t, b, h - t - b}));
    if (stretch) {
        steps.push_back(scale({b, t, bw - 2 * b, bh - t - b}, {b, t, w - 2 * b, h - t - b}));
    }
    steps.push_back(copy({0, bh - b, b, b}, {0, h - b}));
    steps.push_back(scale({b, bh - b, bw - 2 * b, b}, {b, h - b, w - 2 * b, b}));
    steps.push_back(copy({bw - b, bh - b, b, b}, {w - b, h - b}));

    std::erase_if(steps, [](const BlitStep& s) { return !HasArea(s.src) || !HasArea(s.dst); });
    return steps;
}

base::Point IconOrigin(const FrameLayout& layout) {
    return {layout.border, layout.caption == -1 ? 6 : (layout.caption - 15) / 2};
}

base::Point TitleOrigin(const FrameLayout& layout, int fontHeight, bool hasIcon) {
    int t = (layout.caption - fontHeight + 1) / 2;
    if (t < 0) {
        t = 6;
    }
    return {layout.border + 5 + (hasIcon ? 16 : 0), t - 2};
}

std::vector<base::Point> CornerHoles(int imageW, int imageH, int windowW, int windowH,
                                     const std::function<bool(int x, int y)>& isKey) {
    std::vector<base::Point> holes;
    auto cut = [&](int x, int y) {
        if (x >= 0 && x < windowW && y >= 0 && y < windowH) {
            holes.push_back({x, y});
        }
    };
    const int cols = std::min(imageW, kCornerReach);
    for (int y = 0; y < imageH && y < kCornerReach; ++y) {
        for (int x = 0; x < cols; ++x) {
            if (isKey(x, y)) {
                cut(x, y);
            }
            if (isKey(imageW - 1 - x, y)) {
                cut(windowW - 1 - x, y);
            }
        }
    }
    for (int y = std::max(0, imageH - kCornerReach); y < imageH; ++y) {
        const int wy = windowH - imageH + y;
        for (int x = 0; x < cols; ++x) {
            if (isKey(x, y)) {
                cut(x, wy);
            }
            if (isKey(imageW - 1 - x, y)) {
                cut(windowW - 1 - x, wy);
            }
        }
    }
    return holes;
}

int FrameHitTest(const FrameLayout& layout, bool maximized, int x, int y, int w, int h) {
    if (maximized) {
        return kHitDefault;
    }
    const int c = layout.caption;
    if (!layout.resizable) {
        return InCaptionBand(y, c) ? kHitCaption : kHitDefault;
    }
    const int b = layout.border;
    const bool top = y >= 0 && y < b;
    const bool bottom = y >= h - b && y < h;
    if (x >= 0 && x < b) {
        return top ? kHitTopLeft : bottom ? kHitBottomLeft : kHitLeft;
    }
    if (x >= w - b && x < w) {
        return top ? kHitTopRight : bottom ? kHitBottomRight : kHitRight;
    }
    if (y >= 0 && y < kTopResizeZone) {
        return kHitTop;
    }
    if ((y >= kTopResizeZone && y < c) || c == -1) {
        return kHitCaption;
    }
    return bottom ? kHitBottom : kHitDefault;
}

unsigned SizeCommandForHit(int hit) {
    constexpr unsigned kSize = 0xF000;
    switch (hit) {
    case kHitLeft:
        return kSize + 1;
    case kHitRight:
        return kSize + 2;
    case kHitTop:
        return kSize + 3;
    case kHitTopLeft:
        return kSize + 4;
    case kHitTopRight:
        return kSize + 5;
    case kHitBottom:
        return kSize + 6;
    case kHitBottomLeft:
        return kSize + 7;
    case kHitBottomRight:
        return kSize + 8;
    default:
        return 0;
    }
}

base::Rect InitialRestoreRect(const base::Rect& wa) {
    const int w = wa.right - wa.left, h = wa.bottom - wa.top;
    return {wa.left + w / 8, wa.top + h / 8, wa.right - w / 8, wa.bottom - h / 8};
}

base::Rect MaximizedRect(const base::Rect& workArea, int maxW, int maxH) {
    base::Rect r = workArea;
    if (maxW < r.right - r.left) {
        const int d = (r.right - r.left - maxW) / 2;
        r.left += d;
        r.right -= d;
    }
    if (maxH < r.bottom - r.top) {
        const int d = (r.bottom - r.top - maxH) / 2;
        r.top += d;
        r.bottom -= d;
    }
    return r;
}

CaptionButtons SkinButtonLefts(int layoutWidth, int buttonRight, int gap, const CaptionButtons& widths) {
    CaptionButtons lefts;
    int x = layoutWidth - buttonRight;
    lefts.close = x - widths.close;
    if (widths.maximize > 0) {
        x = x - widths.close - gap;
        lefts.maximize = x - widths.maximize;
    }
    if (widths.minimize > 0) {
        x = x - (widths.maximize > 0 ? widths.maximize : widths.close) - gap;
        lefts.minimize = x - widths.minimize;
    }
    return lefts;
}

CaptionButtons ResizedButtonLefts(int cx, int buttonRight, const CaptionButtons& widths) {
    CaptionButtons lefts;
    int x = cx - buttonRight;
    for (auto [width, left] :
         {std::pair{widths.close, &lefts.close}, std::pair{widths.maximize, &lefts.maximize},
          std::pair{widths.minimize, &lefts.minimize}}) {
        if (width > 0) {
            x -= width;
            *left = x;
        }
    }
    return lefts;
}

ButtonLook ChooseButtonFrame(bool disabled, bool selected, bool pressedLatch, bool hover) {
    if (disabled) {
        return {3, pressedLatch};
    }
    if (selected || pressedLatch) {
        return {2, true};
    }
    return {hover ? 1 : 0, false};
}

} // namespace ui
