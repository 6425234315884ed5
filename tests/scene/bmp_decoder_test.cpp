#include "scene/bmp_decoder.h"

#include <gtest/gtest.h>

#include "file_builders.h"
#include "support/temp_dir.h"

namespace {

BmpDecodeResult Decode(const std::string& bytes, uint64_t maxPixels = kBmpMaxPixels) {
    return DecodeBmp(bytes.data(), bytes.size(), maxPixels);
}

// The decoded pixels of row `y` (counted from the bottom), as 0xRRGGBB.
std::vector<uint32_t> Row(const BmpDecodeResult& result, uint32_t y) {
    std::vector<uint32_t> row;
    if (!result.image) return row;
    for (uint32_t x = 0; x < result.image->width; ++x) {
        const uint8_t* p = &result.image->pixels[(size_t{y} * result.image->width + x) * 3];
        row.push_back(uint32_t{p[0]} << 16 | uint32_t{p[1]} << 8 | p[2]);
    }
    return row;
}

std::string Bgr(uint32_t rgb) { return std::string{char(rgb & 0xFF), char((rgb >> 8) & 0xFF), char(rgb >> 16)}; }

// Two rows of five 24-bit pixels, bottom row first, each padded by one byte.
BmpSpec FiveWide() {
    BmpSpec spec;
    spec.width = 5;
    spec.height = 2;
    for (uint32_t row = 0; row < 2; ++row)
        for (uint32_t x = 0; x < 6; ++x) spec.pixels += x < 5 ? Bgr(0x100000 * (x + 1) + 0x0100 * row + 0x07) : "\xEE";
    return spec;
}

void ExpectFiveWide(const BmpDecodeResult& result) {
    EXPECT_EQ(Row(result, 0), (std::vector<uint32_t>{0x100007, 0x200007, 0x300007, 0x400007, 0x500007}))
        << result.error;
    EXPECT_EQ(Row(result, 1), (std::vector<uint32_t>{0x100107, 0x200107, 0x300107, 0x400107, 0x500107}));
}

BmpSpec Paletted(int width, int height, uint16_t bitCount, uint32_t compression, std::vector<uint32_t> palette,
                 std::string pixels) {
    const uint32_t colours = static_cast<uint32_t>(palette.size());
    return BmpSpec{40, width, height, bitCount, compression, colours, std::move(palette), {}, std::move(pixels), true};
}

}  // namespace

TEST(BmpDecoder, FivePixelRowsLoseTheirPaddingBottomUpOrTopDown) {
    const BmpSpec spec = FiveWide();
    ExpectFiveWide(Decode(BmpFile(spec)));
    BmpSpec topDown = spec;  // the same picture stored top row first
    topDown.height = -2;
    topDown.pixels = spec.pixels.substr(16) + spec.pixels.substr(0, 16);
    ExpectFiveWide(Decode(BmpFile(topDown)));
}

TEST(BmpDecoder, EveryPixelFormatAndHeaderDecodesToItsColours) {
    BmpSpec thirtyTwo = Paletted(2, 1, 32, 0, {}, Bgr(0x123456) + "\xFF" + Bgr(0xABCDEF) + std::string(1, '\0'));
    // 5-6-5 bit fields: full green; half red + half blue.
    BmpSpec sixteen = Paletted(2, 1, 16, kBmpBitFields, {}, ByteWriter().U16(0x07E0).U16(0x8010).Bytes());
    sixteen.masks[0] = 0xF800, sixteen.masks[1] = 0x07E0, sixteen.masks[2] = 0x001F;
    BmpSpec mono = Paletted(10, 1, 1, 0, {0x000000, 0xFFFFFF}, std::string("\xA5\x40\x00\x00", 4));
    mono.colourCount = 0;
    // 1 and 5: an index past the colour table is black.
    const BmpSpec bytes = Paletted(2, 1, 8, 0, {0, 0xC0FFEE}, std::string("\x01\x05\x00\x00", 4));
    // Row 0: three of 1, literal 2 3 2 (odd: padded), line end; delta to x 4 of row 2; 3; picture end.
    const BmpSpec rle8 =
        Paletted(6, 3, 8, kBmpRle8, {0x000000, 0x0000AA, 0x00BB00, 0xCC0000},
                 std::string("\x03\x01\x00\x03\x02\x03\x02\x00\x00\x00\x00\x02\x04\x01\x01\x03\x00\x01", 18));
    // Run of 3 alternating 1 and 2; literal of 5 pixels 3 1 2 3 1 (three bytes, padded); end.
    const BmpSpec rle4 = Paletted(8, 1, 4, kBmpRle4, {0x000000, 0x111111, 0x222222, 0x333333},
                                  std::string("\x03\x12\x00\x05\x31\x23\x10\x00\x00\x01", 10));
    // A run of 255, a far delta and a long literal cut short are clipped to the picture.
    const BmpSpec clipped =
        Paletted(2, 1, 8, kBmpRle8, {0, 0xFFFFFF}, std::string("\xFF\x01\x00\x02\xFF\xFF\x00\xFF", 8));
    // Core, V5 and bare DIB headers around the same 8-bit picture.
    BmpSpec core = Paletted(3, 1, 8, 0, {0x0000FF, 0x00FF00, 0xFF0000}, std::string("\x00\x01\x02\x00", 4));
    BmpSpec v5 = core, bare = core;
    core.headerSize = 12;
    core.palette.resize(256, 0);  // a core header has no used-colour count
    v5.headerSize = 124;
    bare.fileHeader = false;
    const struct {
        const char* format;
        BmpSpec spec;
        uint32_t row;
        std::vector<uint32_t> pixels;
    } cases[] = {
        {"32-bit", thirtyTwo, 0, {0x123456, 0xABCDEF}},
        {"16-bit 5-6-5 bit fields (16 of 31 is 131 of 255)", sixteen, 0, {0x00FF00, 0x830083}},
        {"1-bit", mono, 0, {0xFFFFFF, 0, 0xFFFFFF, 0, 0, 0xFFFFFF, 0, 0xFFFFFF, 0, 0xFFFFFF}},
        {"8-bit", bytes, 0, {0xC0FFEE, 0}},
        {"RLE8 runs and literals", rle8, 0, {0x0000AA, 0x0000AA, 0x0000AA, 0x00BB00, 0xCC0000, 0x00BB00}},
        {"RLE8 delta", rle8, 2, {0, 0, 0, 0, 0xCC0000, 0}},
        {"RLE4", rle4, 0, {0x111111, 0x222222, 0x111111, 0x333333, 0x111111, 0x222222, 0x333333, 0x111111}},
        {"RLE clipped", clipped, 0, {0xFFFFFF, 0xFFFFFF}},
        {"core header", core, 0, {0x0000FF, 0x00FF00, 0xFF0000}},
        {"V5 header", v5, 0, {0x0000FF, 0x00FF00, 0xFF0000}},
        {"DIB without file header", bare, 0, {0x0000FF, 0x00FF00, 0xFF0000}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.format);
        const BmpDecodeResult result = Decode(BmpFile(c.spec));
        ASSERT_TRUE(result.image) << result.error;
        EXPECT_EQ(Row(result, c.row), c.pixels);
    }
}

TEST(BmpDecoder, BrokenOrHostileFilesAreRefusedWithTheirText) {
    const struct {
        const char* what;
        void (*change)(BmpSpec&);
        const char* error;
    } broken[] = {
        {"huge size, refused before allocating", [](BmpSpec& s) { s.width = s.height = 0x7FFFFFFF; }, kBmpOutOfMemory},
        {"pixels missing from the file", [](BmpSpec& s) { s.width = s.height = 4000; }, kBmpConversionError},
        {"most negative height", [](BmpSpec& s) { s.height = INT32_MIN; }, kBmpConversionError},
        {"RLE8 of 24-bit pixels", [](BmpSpec& s) { s.compression = kBmpRle8; }, kBmpConversionError},
        {"colour table larger than the file", [](BmpSpec& s) { s.bitCount = 8, s.colourCount = 0xFFFFFFFF; },
         kBmpConversionError},
        {"unknown header size", [](BmpSpec& s) { s.headerSize = 41; }, kBmpUnknownFormat},
    };
    for (const auto& b : broken) {
        SCOPED_TRACE(b.what);
        BmpSpec changed = FiveWide();
        b.change(changed);
        const BmpDecodeResult result = Decode(BmpFile(changed));
        EXPECT_FALSE(result.image.has_value());
        EXPECT_EQ(result.error, b.error);
    }
    EXPECT_EQ(Decode(BmpFile(FiveWide()), 9).error, kBmpOutOfMemory) << "the pixel limit is the caller's";
    std::string farOffset = BmpFile(FiveWide());
    farOffset[10] = '\x7F', farOffset[11] = '\x7F';
    EXPECT_EQ(Decode(farOffset).error, kBmpConversionError) << "pixel offset past the end";
}

TEST(BmpDecoder, EveryPrefixOfAFileFailsCleanly) {
    const std::string full = BmpFile(FiveWide());
    // The last row may lack its padding byte; anything shorter misses pixels.
    for (size_t length = 0; length + 1 < full.size(); ++length) {
        const BmpDecodeResult result = Decode(full.substr(0, length));
        EXPECT_FALSE(result.image.has_value()) << "prefix " << length;
        EXPECT_FALSE(result.error.empty()) << "prefix " << length;
    }
    EXPECT_TRUE(Decode(full.substr(0, full.size() - 1)).image.has_value());
}

// The player sees this text in a message box.
TEST(BmpDecoder, NamesTheFileThatCannotBeOpened) {
    TempDir dir;
    EXPECT_EQ(LoadBmpFile(dir.File("none.bmp")).error, "Failed to open DIB file " + dir.File("none.bmp") + ".\n");
}
