#pragma once

#include <cstdint>

// The bitmap font: 256 glyphs in 16-pixel cells of one texture; each character moves
// on by 15 pixels, and a string is drawn as one batch of quads. It lives with the GL context:
// CreateGLWindow builds it, KillGLWindow drops it.

// Glyph set 0 is the regular face and set 1 the bold one; scale 1 draws 16-pixel cells.
struct FontStyle {
    int set = 0;
    float scale = 1.0f;
};

// The cell size, which the widgets also use as their text height.
constexpr int kFontCellSize = 16;
constexpr int kFontAdvance = kFontCellSize - 1;
inline int TextHeight() { return kFontCellSize; }

// `image` is a single-channel coverage picture of 16 x 16 cells, rows bottom-up.
bool BuildFont(const uint8_t* image, int width, int height);
void KillFont();

// Draws `count` bytes of `text` with the first glyph's top-left corner at window
// pixel (x, y) in the colour rgba. Leaves blending and 2D texturing switched on.
void Print(const FontStyle& font, int x, int y, const char* text, int count, const float rgba[4]);
