#include "windowplace.h"

#include <algorithm>

namespace runetally {

ScreenRect Beside(const ScreenRect& other, int width, int height, const ScreenRect& area) {
    int left = 0;
    if (other.right() + width <= area.right()) {
        left = other.right();
    } else if (other.left - width >= area.left) {
        left = other.left - width;
    } else if (area.right() - other.right() >= other.left - area.left) {
        left = area.right() - width;
    } else {
        left = area.left;
    }
    left = std::max(left, area.left);
    const int top = std::max(std::min(other.top, area.bottom() - height), area.top);
    return {left, top, width, height};
}

ScreenRect Widened(const ScreenRect& window, int more, const ScreenRect& area) {
    const int width =
        std::max(window.width, std::min(window.width + std::max(more, 0), area.width));
    if (width == window.width) {
        return window; // no room: it stays where it stands
    }
    const int left = std::max(std::min(window.left, area.right() - width), area.left);
    return {left, window.top, width, window.height};
}

} // namespace runetally
