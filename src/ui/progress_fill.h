// Geometry of the two-image progress bar, decided without Windows: the bar and fill
// rectangles from the image sizes, and which columns of the fill image are drawn where so
// that both rounded ends of the bar show at every length.
#pragma once

#include "base/geometry.h"

namespace ui {

struct ProgressGeometry {
    base::Rect bar;  // (0, 0, track width, track height)
    base::Rect fill; // the fill image's size centred in the bar
};
ProgressGeometry ComputeProgressGeometry(int trackWidth, int trackHeight, int fillWidth, int fillHeight);

// One copy of fill-image columns: width columns from srcX to destination x destX.
struct FillSpan {
    int srcX = 0, destX = 0, width = 0;
    bool operator==(const FillSpan&) const = default;
};

struct ProgressFill {
    int filled = 0; // columns shown in all
    FillSpan left;  // the image's left end
    FillSpan right; // the image's right end, drawn right after the left end
};

// The fill for position pos in [lower, upper] with the fill drawn in fillRect.
// filled = fill width / range * (pos - lower), truncated; half of it comes from the image's left end, the
// rest from its right end. An empty range or a position outside it fills nothing or everything.
ProgressFill ComputeProgressFill(const base::Rect& fillRect, int pos, int lower, int upper);

} // namespace ui
