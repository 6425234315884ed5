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

std::string Bgr(uint32_t rgb) {
    return std::string{static_cast<char>(rgb & 0xFF), static_cast<char>((rgb >> 8) & 0xFF),
                       static_cast<char>((rgb >> 16) & 0xFF)};
}

// Two rows of five 24-bit pixels, bottom row first, each padded by one byte.
BmpSpec FiveWide() {
    BmpSpec spec;
    spec.width = 5;
    spec.height = 2;
    for (uint32_t row = 0; row < 2; ++row) {
        for (uint32_t x = 0; x < 5; ++x) spec.pixels += Bgr(0x100000 * (x + 1) + 0x0100 * row + 0x07);
        spec.pixels += std::string(1, '\xEE');
    }
    return spec;
}

void ExpectFiveWide(const BmpDecodeResult& result) {
    ASSERT_TRUE(result.image.has_value()) << result.error;
    ASSERT_EQ(result.image->pixels.size(), 30u) << "15 bytes a row, the padding dropped";
    EXPECT_EQ(Row(result, 0), (std::vector<uint32_t>{0x100007, 0x200007, 0x300007, 0x400007, 0x500007}));
    EXPECT_EQ(Row(result, 1), (std::vector<uint32_t>{0x100107, 0x200107, 0x300107, 0x400107, 0x500107}));
}

BmpSpec Paletted(int width, int height, uint16_t bitCount, uint32_t compression, std::vector<uint32_t> palette,
                 std::string pixels) {
    BmpSpec spec;
    spec.width = width;
    spec.height = height;
    spec.bitCount = bitCount;
    spec.compression = compression;
    spec.colourCount = static_cast<uint32_t>(palette.size());
    spec.palette = std::move(palette);
    spec.pixels = std::move(pixels);
    return spec;
}

}  // namespace

TEST(BmpDecoder, FivePixelRowsLoseTheirPaddingBottomUpOrTopDown) {
    const BmpSpec spec = FiveWide();
    ExpectFiveWide(Decode(BmpFile(spec)));
    BmpSpec topDown = spec;  // the same picture stored top row first
    topDown.height = -2;
    topDown.pixels = spec.pixels.substr(16) + spec.pixels.substr(0, 16);
    const BmpDecodeResult result = Decode(BmpFile(topDown));
    ExpectFiveWide(result);
    EXPECT_TRUE(result.info.topDown);
}

TEST(BmpDecoder, EveryPixelFormatDecodesToItsColours) {
    ByteWriter fiveFiveFive, fiveSixFive;
    fiveFiveFive.U16(0x7C00).U16(0x03FF);  // red; green + blue
    fiveSixFive.U16(0x07E0).U16(0x8010);   // full green; half red + half blue
    BmpSpec thirtyTwo;
    thirtyTwo.width = 2;
    thirtyTwo.bitCount = 32;
    thirtyTwo.pixels = Bgr(0x123456) + "\xFF" + Bgr(0xABCDEF) + std::string(1, '\0');
    BmpSpec swapped = thirtyTwo;  // red and blue swapped places by the masks
    swapped.compression = kBmpBitFields;
    swapped.masks[0] = 0x000000FF, swapped.masks[1] = 0x0000FF00, swapped.masks[2] = 0x00FF0000;
    BmpSpec sixteen;
    sixteen.width = 2;
    sixteen.bitCount = 16;
    sixteen.pixels = fiveFiveFive.Bytes();
    BmpSpec sixteenFields = sixteen;
    sixteenFields.compression = kBmpBitFields;
    sixteenFields.masks[0] = 0xF800, sixteenFields.masks[1] = 0x07E0, sixteenFields.masks[2] = 0x001F;
    sixteenFields.pixels = fiveSixFive.Bytes();
    BmpSpec mono = Paletted(10, 1, 1, 0, {0x000000, 0xFFFFFF}, std::string("\xA5\x40\x00\x00", 4));
    mono.colourCount = 0;
    // 2, 1, and 5: an index past the colour table is black.
    const BmpSpec nibbles = Paletted(3, 1, 4, 0, {0x111111, 0x222222, 0x333333}, std::string("\x21\x50\x00\x00", 4));
    const BmpSpec bytes = Paletted(2, 1, 8, 0, {0, 0xC0FFEE}, std::string("\x01\x00\x00\x00", 4));
    // Row 0: three of 1, literal 2 3 2 (odd: padded), line end; delta to x 4 of row 2; 3; picture end.
    const BmpSpec rle8 = Paletted(6, 3, 8, kBmpRle8, {0x000000, 0x0000AA, 0x00BB00, 0xCC0000},
                                  std::string("\x03\x01\x00\x03\x02\x03\x02\x00\x00\x00\x00\x02\x04\x01\x01\x03\x00\x01", 18));
    // Run of 3 alternating 1 and 2; literal of 5 pixels 3 1 2 3 1 (three bytes, padded); end.
    const BmpSpec rle4 = Paletted(8, 1, 4, kBmpRle4, {0x000000, 0x111111, 0x222222, 0x333333},
                                  std::string("\x03\x12\x00\x05\x31\x23\x10\x00\x00\x01", 10));
    // A run of 255, a far delta and a long literal cut short are clipped to the picture.
    const BmpSpec clipped = Paletted(2, 1, 8, kBmpRle8, {0, 0xFFFFFF}, std::string("\xFF\x01\x00\x02\xFF\xFF\x00\xFF", 8));
    const struct {
        const char* format;
        BmpSpec spec;
        uint32_t row;
        std::vector<uint32_t> pixels;
    } cases[] = {
        {"32-bit", thirtyTwo, 0, {0x123456, 0xABCDEF}},
        {"32-bit bit fields", swapped, 0, {0x563412, 0xEFCDAB}},
        {"16-bit 5-5-5", sixteen, 0, {0xFF0000, 0x00FFFF}},
        {"16-bit 5-6-5 bit fields (16 of 31 is 131 of 255)", sixteenFields, 0, {0x00FF00, 0x830083}},
        {"1-bit", mono, 0, {0xFFFFFF, 0, 0xFFFFFF, 0, 0, 0xFFFFFF, 0, 0xFFFFFF, 0, 0xFFFFFF}},
        {"4-bit", nibbles, 0, {0x333333, 0x222222, 0}},
        {"8-bit", bytes, 0, {0xC0FFEE, 0}},
        {"RLE8 runs and literals", rle8, 0, {0x0000AA, 0x0000AA, 0x0000AA, 0x00BB00, 0xCC0000, 0x00BB00}},
        {"RLE8 delta", rle8, 2, {0, 0, 0, 0, 0xCC0000, 0}},
        {"RLE4", rle4, 0, {0x111111, 0x222222, 0x111111, 0x333333, 0x111111, 0x222222, 0x333333, 0x111111}},
        {"RLE clipped", clipped, 0, {0xFFFFFF, 0xFFFFFF}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.format);
        const BmpDecodeResult result = Decode(BmpFile(c.spec));
        ASSERT_TRUE(result.image) << result.error;
        EXPECT_EQ(Row(result, c.row), c.pixels);
    }
}

TEST(BmpDecoder, CoreV4V5AndBareDibHeadersGiveTheSamePicture) {
    const BmpSpec info = Paletted(3, 1, 8, 0, {0x0000FF, 0x00FF00, 0xFF0000}, std::string("\x00\x01\x02\x00", 4));
    BmpSpec core = info, v4 = info, v5 = info, bare = info, os2 = info;
    core.headerSize = 12;
    core.palette.resize(256, 0);  // a core header has no used-colour count
    v4.headerSize = 108;
    v5.headerSize = 124;
    bare.fileHeader = false;
    for (const auto& variant : {std::make_pair("info", info), std::make_pair("core", core), std::make_pair("V4", v4),
                                std::make_pair("V5", v5), std::make_pair("bare", bare)}) {
        SCOPED_TRACE(variant.first);
        const BmpDecodeResult result = Decode(BmpFile(variant.second));
        EXPECT_EQ(Row(result, 0), (std::vector<uint32_t>{0x0000FF, 0x00FF00, 0xFF0000})) << result.error;
    }
    os2.headerSize = 64;
    EXPECT_EQ(Decode(BmpFile(os2)).error, kBmpUnknownFormat);
}

TEST(BmpDecoder, BrokenOrHostileFilesAreRefusedWithTheirText) {
    const struct {
        const char* what;
        void (*change)(BmpSpec&);
        const char* error;
    } broken[] = {
        {"huge size, refused before allocating", [](BmpSpec& s) { s.width = s.height = 0x7FFFFFFF; }, kBmpOutOfMemory},
        {"huge RLE size",
         [](BmpSpec& s) { s = Paletted(0x7FFFFFFF, 0x7FFFFFFF, 8, kBmpRle8, {0, 0xFFFFFF}, ""); }, kBmpOutOfMemory},
        {"pixels missing from the file", [](BmpSpec& s) { s.width = s.height = 4000; }, kBmpConversionError},
        {"negative width", [](BmpSpec& s) { s.width = -5; }, kBmpConversionError},
        {"zero height", [](BmpSpec& s) { s.height = 0; }, kBmpConversionError},
        {"most negative height", [](BmpSpec& s) { s.height = INT32_MIN; }, kBmpConversionError},
        {"three bits a pixel", [](BmpSpec& s) { s.bitCount = 3; }, kBmpConversionError},
        {"RLE8 of 24-bit pixels", [](BmpSpec& s) { s.compression = kBmpRle8; }, kBmpConversionError},
        {"JPEG inside", [](BmpSpec& s) { s.compression = 4; }, kBmpConversionError},
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

TEST(BmpDecoder, ReadsFilesAndNamesTheOneThatCannotBeOpened) {
    TempDir dir;
    dir.Write("five.bmp", BmpFile(FiveWide()));
    ExpectFiveWide(LoadBmpFile(dir.File("five.bmp")));
    EXPECT_EQ(LoadBmpFile(dir.File("none.bmp")).error, "Failed to open DIB file " + dir.File("none.bmp") + ".\n");
    EXPECT_EQ(LoadBmpFile(dir.Path()).error, "Failed to open DIB file " + dir.Path() + ".\n") << "a directory";
}
