#pragma once

#include "base/vec3.h"
#include "platform/font.h"

// The widgets' one way to put text on screen: `count` characters of the bitmap font
// with the first glyph's top-left corner at (x, y) in window pixels. The font's cell
// is 16 pixels; widgets with smaller text pass scale = their cell size / 16.
// Leaves blending and 2D texturing enabled, as the font does.
void PrintText(int x, int y, const char* text, int count, float scale, const Colour& colour);

// Text is drawn with 2D texturing and blending switched off around it (the font
// switches them on for itself); this puts both back as they were when it ends.
class PlainTextScope {
public:
    PlainTextScope();
    ~PlainTextScope();
    PlainTextScope(const PlainTextScope&) = delete;
    PlainTextScope& operator=(const PlainTextScope&) = delete;

private:
    bool texturing_;
    bool blending_;
};
