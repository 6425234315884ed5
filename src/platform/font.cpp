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
constexpr int kLargestImageSide = 8192;

// One corner of a glyph's quad, laid out for glTexCoordPointer and glVertexPointer.
struct GlyphCorner {
    float u, v, x, y;
};

struct FontState {
    GLuint texture = 0;
    // Grows to the longest string printed so far and stays, so printing allocates
    // nothing once the menus have been seen.
    std::vector<GlyphCorner> corners;
};

FontState& State() {
    static FontState state;
    return state;
}

// Character c of set s is glyph s * 128 + c - 32. Control characters and the upper
// half of the bold set name no glyph: they only advance.
int GlyphOf(int set, unsigned char character) {
    const int glyph = set * kGlyphsPerSet + character - kFirstCharacter;
    return glyph >= 0 && glyph < kGlyphCount ? glyph : -1;
}

// The glyph's 16-pixel cell with its top-left corner at `left`, in the order the
// glyphs always had: bottom-left, bottom-right, top-right, top-left.
void AddGlyph(std::vector<GlyphCorner>& corners, int glyph, float left) {
    const float s = static_cast<float>(kFontCellSize);
    const float u = static_cast<float>(glyph % kCellsPerRow) / kCellsPerRow;
    const float top = 1.0f - static_cast<float>(glyph / kCellsPerRow) / kCellsPerRow;
    const float bottom = top - 1.0f / kCellsPerRow;
    const float right = u + 1.0f / kCellsPerRow;
    corners.push_back({u, bottom, left, s});
    corners.push_back({right, bottom, left + s, s});
    corners.push_back({right, top, left + s, 0});
    corners.push_back({u, top, left, 0});
}

}  // namespace

bool BuildFont(const uint8_t* image, int width, int height) {
    KillFont();
    if (image == nullptr || width <= 0 || height <= 0 || width > kLargestImageSide || height > kLargestImageSide) {
        Report(LogModule::kGui, LogLevel::kError, "Font image of %d x %d pixels is not usable", width, height);
        return false;
    }
    const size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(height);
    std::vector<uint8_t> rgba;
    try {
        rgba.resize(pixels * 4);
    } catch (const std::bad_alloc&) {
        Report(LogModule::kGui, LogLevel::kError, "Out of memory for the font image");
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
    return true;
}

void KillFont() {
    FontState& state = State();
    if (state.texture != 0) glDeleteTextures(1, &state.texture);
    state = FontState{};
}

void Print(const FontStyle& font, int x, int y, const char* text, int count, const float rgba[4]) {
    FontState& state = State();
    if (state.texture == 0 || text == nullptr || count <= 0) return;
    const int set = std::clamp(font.set, 0, 1);
    state.corners.clear();
    for (int i = 0; i < count; ++i) {
        const int glyph = GlyphOf(set, static_cast<unsigned char>(text[i]));
        if (glyph >= 0) AddGlyph(state.corners, glyph, static_cast<float>(i * kFontAdvance));
    }
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, state.texture);
    if (rgba != nullptr) glColor4fv(rgba);
    glLoadIdentity();
    glTranslatef(static_cast<float>(x), static_cast<float>(y), 0);
    glScalef(font.scale, font.scale, 1);
    if (!state.corners.empty()) {
        // The whole string is one draw.
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(2, GL_FLOAT, sizeof(GlyphCorner), &state.corners[0].u);
        glVertexPointer(2, GL_FLOAT, sizeof(GlyphCorner), &state.corners[0].x);
        glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(state.corners.size()));
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glDisableClientState(GL_VERTEX_ARRAY);
    }
    glPopMatrix();
}
