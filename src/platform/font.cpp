#include "platform/font.h"

#include <algorithm>
#include <new>
#include <vector>

#include <GL/gl.h>

#include "base/report.h"

namespace {

constexpr int kCellsPerRow = 16;
constexpr int kGlyphCount = 256;
constexpr int kGlyphsPerSet = 128;
constexpr int kFirstCharacter = 32;
// Print maps character c of set s to glyph s * 128 + c - 32, so control characters
// and the upper half of the bold set would name lists outside the 256 glyphs, which
// may belong to someone else. Blank lists that only advance stand on both sides.
constexpr int kGuardBefore = kFirstCharacter;
constexpr int kGuardAfter = kGlyphsPerSet - kFirstCharacter;
constexpr int kListCount = kGuardBefore + kGlyphCount + kGuardAfter;
constexpr int kLargestImageSide = 8192;

struct FontState {
    GLuint texture = 0;
    GLuint lists = 0;  // first of kListCount
    GLuint firstGlyph() const { return lists + kGuardBefore; }
};

FontState& State() {
    static FontState state;
    return state;
}

void CompileGlyph(GLuint list, int glyph) {
    const float s = static_cast<float>(kFontCellSize);
    const float u = static_cast<float>(glyph % kCellsPerRow) / kCellsPerRow;
    const float top = 1.0f - static_cast<float>(glyph / kCellsPerRow) / kCellsPerRow;
    const float bottom = top - 1.0f / kCellsPerRow;
    const float right = u + 1.0f / kCellsPerRow;
    glNewList(list, GL_COMPILE);
    glBegin(GL_QUADS);
    glTexCoord2f(u, bottom);
    glVertex2f(0, s);
    glTexCoord2f(right, bottom);
    glVertex2f(s, s);
    glTexCoord2f(right, top);
    glVertex2f(s, 0);
    glTexCoord2f(u, top);
    glVertex2f(0, 0);
    glEnd();
    glTranslatef(static_cast<float>(kFontAdvance), 0, 0);
    glEndList();
}

void CompileBlank(GLuint list) {
    glNewList(list, GL_COMPILE);
    glTranslatef(static_cast<float>(kFontAdvance), 0, 0);
    glEndList();
}

}  // namespace

bool BuildFont(const uint8_t* image, int width, int height) {
    KillFont();
    if (image == nullptr || width <= 0 || height <= 0 || width > kLargestImageSide || height > kLargestImageSide) {
        Report(kGui, kError, "Font image of %d x %d pixels is not usable", width, height);
        return false;
    }
    const size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(height);
    std::vector<uint8_t> rgba;
    try {
        rgba.resize(pixels * 4);
    } catch (const std::bad_alloc&) {
        Report(kGui, kError, "Out of memory for the font image");
        return false;
    }
    for (size_t i = 0; i < pixels; ++i) {
        std::fill_n(&rgba[i * 4], 3, uint8_t{255});
        rgba[i * 4 + 3] = image[i];
    }

    FontState& state = State();
    glGenTextures(1, &state.texture);
    glBindTexture(GL_TEXTURE_2D, state.texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());

    state.lists = glGenLists(kListCount);
    for (int i = 0; i < kGuardBefore; ++i) CompileBlank(state.lists + i);
    for (int glyph = 0; glyph < kGlyphCount; ++glyph) CompileGlyph(state.firstGlyph() + glyph, glyph);
    for (int i = 0; i < kGuardAfter; ++i) CompileBlank(state.firstGlyph() + kGlyphCount + i);
    return true;
}

void KillFont() {
    FontState& state = State();
    if (state.lists != 0) glDeleteLists(state.lists, kListCount);
    if (state.texture != 0) glDeleteTextures(1, &state.texture);
    state = FontState{};
}

void Print(const FontStyle& font, int x, int y, const char* text, int count, const float rgba[4]) {
    const FontState& state = State();
    if (state.lists == 0 || text == nullptr || count <= 0) return;
    const int set = std::clamp(font.set, 0, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, state.texture);
    glListBase(state.firstGlyph() + set * kGlyphsPerSet - kFirstCharacter);
    if (rgba != nullptr) glColor4fv(rgba);
    glLoadIdentity();
    glTranslatef(static_cast<float>(x), static_cast<float>(y), 0);
    glScalef(font.scale, font.scale, 1);
    glCallLists(count, GL_UNSIGNED_BYTE, text);
    glPopMatrix();
}
