#pragma once

#include <optional>

// A scissor box in GL window coordinates: x from the left, y from the window's
// bottom edge.
struct ClipBox {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

bool operator==(const ClipBox& a, const ClipBox& b);

// The box that shows a view whose top-left corner is at (x1, y1) in window pixels
// (origin top-left), one pixel wider and taller than the view so its right and
// bottom edge lines show.
ClipBox ClipBoxForView(int x1, int y1, int viewWidth, int viewHeight, int windowHeight);

// The overlap of two boxes; nothing when they do not overlap.
std::optional<ClipBox> Intersect(const ClipBox& a, const ClipBox& b);

// Clips drawing to a box for as long as it lives; clips nest by intersecting with
// the one already in force, and the previous clip comes back when it ends. Reads
// and sets the GL scissor state, so drawing code only.
class ScopedClip {
public:
    // The view's box in window pixels; the window height comes from the viewport.
    ScopedClip(int x1, int y1, int viewWidth, int viewHeight);
    ~ScopedClip();
    ScopedClip(const ScopedClip&) = delete;
    ScopedClip& operator=(const ScopedClip&) = delete;

    // False when the box lies wholly outside the clip already in force: draw nothing.
    bool Visible() const { return box_.has_value(); }
    // Switches the clip on; separate so that drawing may happen unclipped first.
    void Apply() const;

private:
    bool wasEnabled_ = false;
    ClipBox previous_;
    std::optional<ClipBox> box_;
};
