#include "ui/progress_fill.h"

#include <algorithm>

namespace ui {

ProgressGeometry ComputeProgressGeometry(int trackWidth, int trackHeight, int fillWidth, int fillHeight) {
    ProgressGeometry g;
    g.bar = {0, 0, trackWidth, trackHeight};
    g.fill.left = (trackWidth - fillWidth) / 2;
    g.fill.top = (trackHeight - fillHeight) / 2;
    g.fill.right = g.fill.left + fillWidth;
    g.fill.bottom = g.fill.top + fillHeight;
    return g;
}

ProgressFill ComputeProgressFill(const base::Rect& fillRect, int pos, int lower, int upper) {
    ProgressFill f;
    const int range = upper - lower;
    const int fw = fillRect.Width();
    if (range <= 0 || fw <= 0) return f; // nothing to scale against
    // Measured from the lower bound, so a range that does not start at 0 still fills from empty.
    const double exact = static_cast<double>(fw) / range * (static_cast<double>(pos) - lower);
    f.filled = static_cast<int>(std::clamp(exact, 0.0, static_cast<double>(fw)));
    const int half = f.filled / 2;
    f.left = {0, fillRect.left, half};
    f.right = {fw - f.filled + half, fillRect.left + half, f.filled - half};
    return f;
}

} // namespace ui
