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
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

// A rectangle by its origin and size.
struct Box {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
    friend bool operator==(const Box&, const Box&) = default;
    // Left and top edges inside, right and bottom edges outside, as the platform's PtInRect.
    bool Contains(int px, int py) const { return px >= x && px < x + w && py >= y && py < y + h; }
};

} // namespace base
