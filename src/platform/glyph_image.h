#pragma once

#include <cstdint>
#include <vector>

// The glyph picture built into the program (drawn by tools/fontgen): 256 x 256
// coverage bytes, rows bottom-up, cell n of the 16 x 16 grid (row-major from the
// picture's top-left) holding glyph n. Cells 0..127 are the regular face, 128..255
// the bold one, each for the characters from the space on.
constexpr int kGlyphImageSize = 256;

const std::vector<uint8_t>& BuiltInGlyphImage();
