#pragma once

namespace runetally {

// A window's frame, or a screen's work area, in screen pixels.
struct ScreenRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    constexpr int right() const { return left + width; }
    constexpr int bottom() const { return top + height; }
    bool operator==(const ScreenRect&) const = default;
};

// Where a window of that size opens beside `other` in the work area: to its right where there is
// room, else to its left; else against the side of the work area with more room, where it covers
// the least of `other`. Its top is `other`'s, moved up as far as it must to end in the area.
ScreenRect Beside(const ScreenRect& other, int width, int height, const ScreenRect& area);

// The window `more` pixels wider, as far as the work area has room: it keeps its left edge while
// it ends in the area, else moves left, never past the area's left edge. Without room it stays.
ScreenRect Widened(const ScreenRect& window, int more, const ScreenRect& area);

} // namespace runetally
