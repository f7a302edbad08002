// Rectangles and points in pixels, portable: the one set of geometry types every layer uses.
#pragma once

namespace base {

struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

// A rectangle by its edges, right and bottom exclusive (as the platform's RECT).
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};

} // namespace base
