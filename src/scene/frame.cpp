#include "scene/frame.h"

#include <GL/gl.h>
#include <GL/glu.h>

void BeginScenePass(const FrameLayout& layout) {
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    const PixelRect& area = layout.sceneArea;
    // GL counts viewport rows from the bottom of the window.
    glViewport(area.x, layout.windowHeight - area.y - area.height, area.width, area.height);
    double aspect = area.height > 0 ? static_cast<double>(area.width) / area.height : 1.0;
    gluPerspective(kSceneFieldOfView, aspect, kSceneNear, kSceneFar);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void BeginOverlayPass(const FrameLayout& layout) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glViewport(0, 0, layout.windowWidth, layout.windowHeight);
    gluOrtho2D(0, layout.windowWidth, layout.windowHeight, 0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
}

namespace {

void MarkOpaqueAreas(const FrameLayout& layout, const std::function<void()>& markOpaque) {
    BeginOverlayPass(layout);
    glEnable(GL_DEPTH_TEST);  // depth is only written while the test is on
    glDepthFunc(GL_ALWAYS);
    glDepthRange(0, 0);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    markOpaque();
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDepthRange(0, 1);
}

}  // namespace

void DrawFrame(const FrameLayout& layout, const std::function<void()>& drawScene,
               const std::function<void()>& drawOverlay, const std::function<void()>& markOpaque) {
    if (markOpaque) MarkOpaqueAreas(layout, markOpaque);
    BeginScenePass(layout);
    if (drawScene) drawScene();
    BeginOverlayPass(layout);
    if (drawOverlay) drawOverlay();
}
