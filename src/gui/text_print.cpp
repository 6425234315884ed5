#include "gui/text_print.h"

#include <GL/gl.h>

#include "platform/font.h"

void PrintText(int x, int y, const char* text, int count, float scale, const Colour& colour) {
    const float rgba[4] = {colour.r, colour.g, colour.b, colour.a};
    Print(FontStyle{0, scale}, x, y, text, count, rgba);
}

PlainTextScope::PlainTextScope() : texturing_(glIsEnabled(GL_TEXTURE_2D)), blending_(glIsEnabled(GL_BLEND)) {
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
}

PlainTextScope::~PlainTextScope() {
    if (texturing_)
        glEnable(GL_TEXTURE_2D);
    else
        glDisable(GL_TEXTURE_2D);
    if (blending_)
        glEnable(GL_BLEND);
    else
        glDisable(GL_BLEND);
}
