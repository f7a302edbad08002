// Geometry of the skinned dialog frame and its image buttons, free of Win32: how the skin
// is cut and placed, where the title goes, what a point hits, where the window goes.
#pragma once

#include <functional>
#include <vector>

#include "base/geometry.h"

namespace ui {

// Hit codes, numerically those of WM_NCHITTEST. kHitDefault asks for the platform's own
// answer (the client area, as the frame has no non-client area).
inline constexpr int kHitDefault = -1;
inline constexpr int kHitCaption = 2;
inline constexpr int kHitLeft = 10;
inline constexpr int kHitRight = 11;
inline constexpr int kHitTop = 12;
inline constexpr int kHitTopLeft = 13;
inline constexpr int kHitTopRight = 14;
inline constexpr int kHitBottom = 15;
inline constexpr int kHitBottomLeft = 16;
inline constexpr int kHitBottomRight = 17;

// What the frame is configured with (the members of the dialog that shape it).
struct FrameLayout {
    int caption = -1; // height C of the caption band, -1: no band
    int border = 3;   // thickness B of the frame
    bool resizable = false;
};

// Top strip of the skin: the caption band, or a strip as thick as the border without one.
int TopStripHeight(const FrameLayout& layout);

// True for a client row that belongs to the caption band (every row when there is none).
bool InCaptionBand(int y, int caption);

// One block transfer of the background painting: a 1:1 copy (src and dst of equal size)
// or a scaled one.
struct BlitStep {
    bool stretch = false;
    base::Box src;
    base::Box dst;
    bool operator==(const BlitStep&) const = default;
};

// The nine-slice pieces that paint an image of imageW x imageH onto a window of
// windowW x windowH, in drawing order. stretch = false draws the image 1:1 and re-draws
// the right and bottom edges. Pieces that would have no area are left out: a window
// smaller than its frame would otherwise get mirrored strips.
std::vector<BlitStep> NineSliceSteps(int imageW, int imageH, int windowW, int windowH,
                                     const FrameLayout& layout, bool stretch);

// Places of the small icon and of the title text in the caption band. fontHeight is the
// absolute height of the dialog's font.
base::Point IconOrigin(const FrameLayout& layout);
base::Point TitleOrigin(const FrameLayout& layout, int fontHeight, bool hasIcon);

// The 1 x 1 squares cut from a window of windowW x windowH because the skin of
// imageW x imageH has the key colour there, within 9 x 9 of each corner. The bottom
// corners follow the window's bottom edge. Squares outside the window are dropped.
std::vector<base::Point> CornerHoles(int imageW, int imageH, int windowW, int windowH,
                                     const std::function<bool(int x, int y)>& isKey);

// What a client point (x, y) of a window of w x h hits.
int FrameHitTest(const FrameLayout& layout, bool maximized, int x, int y, int w, int h);

// The system command that starts the sizing loop for an edge hit code, 0 for others.
unsigned SizeCommandForHit(int hit);

// Where the window goes when restored before any drag: the work area inset by an eighth.
base::Rect InitialRestoreRect(const base::Rect& workArea);

// The maximized window: the work area, narrowed to maxW x maxH and centred where those
// are smaller than the work area.
base::Rect MaximizedRect(const base::Rect& workArea, int maxW, int maxH);

// Caption buttons in their order right to left; width 0 means the button does not exist.
struct CaptionButtons {
    int close = 0;
    int maximize = 0;
    int minimize = 0;
    bool operator==(const CaptionButtons&) const = default;
};

// Left edges of the caption buttons as the skin places them when they are created: the
// close button's right edge buttonRight from the layout width, the others to its left,
// gap pixels apart. Entries of absent buttons are unspecified.
CaptionButtons SkinButtonLefts(int layoutWidth, int buttonRight, int gap, const CaptionButtons& widths);

// Left edges after a resize to client width cx: the buttons that exist, packed without gap.
CaptionButtons ResizedButtonLefts(int cx, int buttonRight, const CaptionButtons& widths);

// Image strips: the four frames of a button strip.
inline constexpr int kButtonFrames = 4;

// The frame an image button shows, and whether the pressed look stays latched.
struct ButtonLook {
    int frame = 0;
    bool pressedLatch = false;
    bool operator==(const ButtonLook&) const = default;
};
ButtonLook ChooseButtonFrame(bool disabled, bool selected, bool pressedLatch, bool hover);

} // namespace ui
