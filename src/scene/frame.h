#pragma once

#include <functional>

// A rectangle in window pixels with the origin at the top-left corner, the way widgets
// and the mouse count.
struct PixelRect {
    int x = 0, y = 0, width = 0, height = 0;
};

struct FrameLayout {
    PixelRect sceneArea;  // where the 3D scene goes
    int windowWidth = 0;
    int windowHeight = 0;
};

// Vertical field of view and depth range of the 3D pass.
constexpr double kSceneFieldOfView = 45.0;
constexpr double kSceneNear = 1.0;
constexpr double kSceneFar = 1000.0;

// 3D set-up: depth test (less or equal), a perspective projection with the scene area's
// own aspect, so a scene area shaped unlike the window still shows the scene undistorted,
// and an identity modelview matrix.
void BeginScenePass(const FrameLayout& layout);

// 2D set-up: an orthographic projection in window pixels, y growing downwards from the
// top-left corner; depth test, 2D texturing and blending off.
void BeginOverlayPass(const FrameLayout& layout);

// The drawing part of a frame, between the buffer clear and the swap: the 3D pass with
// `drawScene` (a scene's DrawScene and its particles), then the 2D pass with
// `drawOverlay` (the widgets). The caller ticks the widgets and holds the frame lock.
// First, `markOpaque` draws, in overlay coordinates, the fills of the overlay that will
// hide the scene wholly (an opaque dialog); they go into the depth buffer only, at the
// near plane, so the scene's fragments under them fail the depth test before they are
// shaded. The picture stays the same; the software renderer saves the shading.
void DrawFrame(const FrameLayout& layout, const std::function<void()>& drawScene,
               const std::function<void()>& drawOverlay, const std::function<void()>& markOpaque = {});
