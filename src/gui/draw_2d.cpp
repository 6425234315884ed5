#include "gui/draw_2d.h"

#include <GL/gl.h>

void DrawOutline(int x1, int y1, int x2, int y2, const Colour& colour) {
    glColor4f(colour.r, colour.g, colour.b, colour.a);
    glBegin(GL_LINE_STRIP);
    glVertex2i(x1, y1);
    glVertex2i(x2, y1);
    glVertex2i(x2, y2);
    glVertex2i(x1, y2);
    glVertex2i(x1, y1);
    glEnd();
}

void FillRect(int x1, int y1, int x2, int y2, const Colour& colour) {
    glColor4f(colour.r, colour.g, colour.b, colour.a);
    RectangleStrip(x1, y1, x2, y2);
}

void RectangleStrip(int x1, int y1, int x2, int y2) {
    glBegin(GL_TRIANGLE_STRIP);
    glVertex2i(x1, y2);
    glVertex2i(x1, y1);
    glVertex2i(x2, y2);
    glVertex2i(x2, y1);
    glEnd();
}

void FillShade(int x1, int y1, int x2, int y2, const Colour& colour) {
    const GLboolean blending = glIsEnabled(GL_BLEND);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_COLOR);
    FillRect(x1, y1, x2, y2, colour);
    if (!blending) glDisable(GL_BLEND);
}
