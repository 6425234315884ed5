#include "gui/clip.h"

#include <algorithm>

bool operator==(const ClipBox& a, const ClipBox& b) {
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

ClipBox ClipBoxForView(int x1, int y1, int viewWidth, int viewHeight, int windowHeight) {
    return ClipBox{x1, windowHeight - y1 - viewHeight, viewWidth + 1, viewHeight + 1};
}

std::optional<ClipBox> Intersect(const ClipBox& a, const ClipBox& b) {
    const int left = std::max(a.x, b.x);
    const int bottom = std::max(a.y, b.y);
    const int right = std::min(a.x + a.width, b.x + b.width);
    const int top = std::min(a.y + a.height, b.y + b.height);
    if (right <= left || top <= bottom) return std::nullopt;
    return ClipBox{left, bottom, right - left, top - bottom};
}
