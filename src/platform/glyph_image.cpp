#include "platform/glyph_image.h"

namespace {

const char* const kGlyphRows[kGlyphImageSize] = {
#include "platform/glyph_rows.inc"
};

// Coverage in sixteenths: '.' none, then 1..9 and a..f.
uint8_t Coverage(char digit) {
    if (digit >= '1' && digit <= '9') return static_cast<uint8_t>((digit - '0') * 17);
    if (digit >= 'a' && digit <= 'f') return static_cast<uint8_t>((digit - 'a' + 10) * 17);
    return 0;
}

std::vector<uint8_t> Decode() {
    std::vector<uint8_t> image;
    image.reserve(kGlyphImageSize * kGlyphImageSize);
    for (const char* row : kGlyphRows) {
        const char* pixel = row;
        for (int x = 0; x < kGlyphImageSize; ++x) {
            image.push_back(Coverage(*pixel));
            if (*pixel != '\0') ++pixel;
        }
    }
    return image;
}

}  // namespace

const std::vector<uint8_t>& BuiltInGlyphImage() {
    static const std::vector<uint8_t> image = Decode();
    return image;
}
