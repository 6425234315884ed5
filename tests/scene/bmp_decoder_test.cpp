#include "scene/bmp_decoder.h"

#include <gtest/gtest.h>

#include "file_builders.h"
#include "support/temp_dir.h"

namespace {

BmpDecodeResult Decode(const std::string& bytes, uint64_t maxPixels = kBmpMaxPixels) {
    return DecodeBmp(bytes.data(), bytes.size(), maxPixels);
}

// The decoded pixel at (x, y), y counted from the bottom row, as 0xRRGGBB.
uint32_t At(const BmpImage& image, uint32_t x, uint32_t y) {
    const uint8_t* p = &image.pixels[(size_t{y} * image.width + x) * 3];
    return uint32_t{p[0]} << 16 | uint32_t{p[1]} << 8 | p[2];
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

void ExpectFiveWide(const BmpDecodeResult& result, const std::string& which) {
    ASSERT_TRUE(result.image.has_value()) << which << ": " << result.error;
    const BmpImage& image = *result.image;
    EXPECT_EQ(image.width, 5u) << which;
    ASSERT_EQ(image.pixels.size(), 30u) << which << ": 15 bytes a row, the padding dropped";
    for (uint32_t y = 0; y < 2; ++y)
        for (uint32_t x = 0; x < 5; ++x)
            EXPECT_EQ(At(image, x, y), 0x100000 * (x + 1) + 0x0100 * y + 0x07) << which << " at " << x << "," << y;
}

}  // namespace

TEST(BmpDecoderTrueColour, DropsRowPaddingAndKeepsTheBottomRowFirst) {
    BmpSpec spec = FiveWide();
    BmpDecodeResult result = Decode(BmpFile(spec));
    ExpectFiveWide(result, "bottom-up");
    EXPECT_EQ(result.info.bitCount, 24);
    EXPECT_FALSE(result.info.topDown);

    // The same picture stored top row first.
    BmpSpec topDown = spec;
    topDown.height = -2;
    topDown.pixels = spec.pixels.substr(16) + spec.pixels.substr(0, 16);
    result = Decode(BmpFile(topDown));
    ExpectFiveWide(result, "top-down");
    EXPECT_TRUE(result.info.topDown);
    EXPECT_EQ(result.info.height, 2);
}

TEST(BmpDecoderTrueColour, ReadsThirtyTwoBitAndBitFieldPixels) {
    BmpSpec plain;
    plain.width = 2;
    plain.bitCount = 32;
    plain.pixels = Bgr(0x123456) + "\xFF" + Bgr(0xABCDEF) + std::string(1, '\0');
    ASSERT_TRUE(Decode(BmpFile(plain)).image);
    EXPECT_EQ(At(*Decode(BmpFile(plain)).image, 1, 0), 0xABCDEFu);

    BmpSpec fields = plain;  // red and blue swapped places by the masks
    fields.compression = kBmpBitFields;
    fields.masks[0] = 0x000000FF, fields.masks[1] = 0x0000FF00, fields.masks[2] = 0x00FF0000;
    BmpDecodeResult result = Decode(BmpFile(fields));
    ASSERT_TRUE(result.image) << result.error;
    EXPECT_EQ(At(*result.image, 0, 0), 0x563412u);
}

TEST(BmpDecoderTrueColour, ReadsSixteenBitFiveFiveFiveAndFiveSixFive) {
    BmpSpec spec;
    spec.width = 2;
    spec.bitCount = 16;
    ByteWriter pixels;
    pixels.U16(0x7C00).U16(0x03FF);  // red; green + blue
    spec.pixels = pixels.Bytes();
    BmpDecodeResult result = Decode(BmpFile(spec));
    ASSERT_TRUE(result.image) << result.error;
    EXPECT_EQ(At(*result.image, 0, 0), 0xFF0000u);
    EXPECT_EQ(At(*result.image, 1, 0), 0x00FFFFu);

    spec.compression = kBmpBitFields;
    spec.masks[0] = 0xF800, spec.masks[1] = 0x07E0, spec.masks[2] = 0x001F;
    ByteWriter wide;
    wide.U16(0x07E0).U16(0x8010);  // full green; half red + half blue
    spec.pixels = wide.Bytes();
    result = Decode(BmpFile(spec));
    ASSERT_TRUE(result.image) << result.error;
    EXPECT_EQ(At(*result.image, 0, 0), 0x00FF00u);
    EXPECT_EQ(At(*result.image, 1, 0), 0x830083u) << "16 of 31 scales to 131 of 255";
}

TEST(BmpDecoderPalette, ReadsOneFourAndEightBitPixels) {
    BmpSpec mono;
    mono.width = 10;
    mono.bitCount = 1;
    mono.palette = {0x000000, 0xFFFFFF};
    mono.pixels = std::string("\xA5\x40\x00\x00", 4);  // 1010 0101 01
    BmpDecodeResult result = Decode(BmpFile(mono));
    ASSERT_TRUE(result.image) << result.error;
    const char* expected = "1010010101";
    for (uint32_t x = 0; x < 10; ++x)
        EXPECT_EQ(At(*result.image, x, 0), expected[x] == '1' ? 0xFFFFFFu : 0u) << "bit " << x;

    BmpSpec nibbles;
    nibbles.width = 3;
    nibbles.bitCount = 4;
    nibbles.colourCount = 3;
    nibbles.palette = {0x111111, 0x222222, 0x333333};
    nibbles.pixels = std::string("\x21\x50\x00\x00", 4);  // 2, 1, and 5 (beyond the table)
    result = Decode(BmpFile(nibbles));
    ASSERT_TRUE(result.image) << result.error;
    EXPECT_EQ(At(*result.image, 0, 0), 0x333333u);
    EXPECT_EQ(At(*result.image, 1, 0), 0x222222u);
    EXPECT_EQ(At(*result.image, 2, 0), 0u) << "an index past the colour table is black";

    BmpSpec bytes;
    bytes.width = 2;
    bytes.height = 2;
    bytes.bitCount = 8;
    bytes.palette.assign(256, 0);
    bytes.palette[200] = 0xC0FFEE;
    bytes.pixels = std::string("\xC8\x00\x00\x00\x00\xC8\x00\x00", 8);
    result = Decode(BmpFile(bytes));
    ASSERT_TRUE(result.image) << result.error;
    EXPECT_EQ(At(*result.image, 0, 0), 0xC0FFEEu);
    EXPECT_EQ(At(*result.image, 1, 1), 0xC0FFEEu);
    EXPECT_EQ(At(*result.image, 1, 0), 0u);
}

TEST(BmpDecoderHeaders, CoreV4V5AndBareDibHeadersGiveTheSamePicture) {
    BmpSpec info;
    info.width = 3;
    info.bitCount = 8;
    info.palette = {0x0000FF, 0x00FF00, 0xFF0000};
    info.colourCount = 3;
    info.pixels = std::string("\x00\x01\x02\x00", 4);
    const std::vector<uint32_t> expected = {0x0000FF, 0x00FF00, 0xFF0000};

    BmpSpec core = info;
    core.headerSize = 12;
    core.palette.resize(256, 0);  // a core header has no used-colour count
    BmpSpec v4 = info, v5 = info, bare = info;
    v4.headerSize = 108;
    v5.headerSize = 124;
    bare.fileHeader = false;
    const std::pair<const char*, BmpSpec> variants[] = {{"info", info}, {"core", core}, {"V4", v4}, {"V5", v5}, {"bare", bare}};
    for (const auto& variant : variants) {
        BmpDecodeResult result = Decode(BmpFile(variant.second));
        ASSERT_TRUE(result.image) << variant.first << ": " << result.error;
        EXPECT_EQ(result.info.headerSize, variant.second.headerSize);
        for (uint32_t x = 0; x < 3; ++x) EXPECT_EQ(At(*result.image, x, 0), expected[x]) << variant.first << " " << x;
    }

    BmpSpec os2 = info;
    os2.headerSize = 64;
    EXPECT_EQ(Decode(BmpFile(os2)).error, kBmpUnknownFormat);
}

TEST(BmpDecoderRunLength, ReadsRle8RunsLiteralsDeltasAndLineEnds) {
    BmpSpec spec;
    spec.width = 6;
    spec.height = 3;
    spec.bitCount = 8;
    spec.compression = kBmpRle8;
    spec.palette = {0x000000, 0x0000AA, 0x00BB00, 0xCC0000};
    spec.colourCount = 4;
    // Row 0: three of 1, literal 2 3 2 (odd: padded); row 1: delta to x 4 of row 2; 3; end.
    spec.pixels = std::string("\x03\x01\x00\x03\x02\x03\x02\x00\x00\x00", 10) +
                  std::string("\x00\x02\x04\x01\x01\x03\x00\x01", 8);
    BmpDecodeResult result = Decode(BmpFile(spec));
    ASSERT_TRUE(result.image) << result.error;
    const BmpImage& image = *result.image;
    const uint32_t row0[] = {0x0000AA, 0x0000AA, 0x0000AA, 0x00BB00, 0xCC0000, 0x00BB00};
    for (uint32_t x = 0; x < 6; ++x) EXPECT_EQ(At(image, x, 0), row0[x]) << x;
    for (uint32_t x = 0; x < 6; ++x) EXPECT_EQ(At(image, x, 1), 0u) << "skipped by the delta: " << x;
    EXPECT_EQ(At(image, 4, 2), 0xCC0000u);
    EXPECT_EQ(At(image, 3, 2), 0u);
}

TEST(BmpDecoderRunLength, ReadsRle4AlternatingNibbles) {
    BmpSpec spec;
    spec.width = 8;
    spec.height = 1;
    spec.bitCount = 4;
    spec.compression = kBmpRle4;
    spec.palette = {0x000000, 0x111111, 0x222222, 0x333333};
    spec.colourCount = 4;
    // Run of 3 alternating 1 and 2; literal of 5 pixels 3 1 2 3 1 (three bytes, padded); end.
    spec.pixels = std::string("\x03\x12\x00\x05\x31\x23\x10\x00\x00\x01", 10);
    BmpDecodeResult result = Decode(BmpFile(spec));
    ASSERT_TRUE(result.image) << result.error;
    const uint32_t expected[] = {0x111111, 0x222222, 0x111111, 0x333333, 0x111111, 0x222222, 0x333333, 0x111111};
    for (uint32_t x = 0; x < 8; ++x) EXPECT_EQ(At(*result.image, x, 0), expected[x]) << x;
}

TEST(BmpDecoderRunLength, RunsPastTheRowOrPictureAreClipped) {
    BmpSpec spec;
    spec.width = 2;
    spec.height = 1;
    spec.bitCount = 8;
    spec.compression = kBmpRle8;
    spec.palette = {0, 0xFFFFFF};
    spec.colourCount = 2;
    spec.pixels = std::string("\xFF\x01\x00\x02\xFF\xFF\x00\xFF", 8);  // run of 255, a far delta, a long literal cut short
    BmpDecodeResult result = Decode(BmpFile(spec));
    ASSERT_TRUE(result.image) << result.error;
    EXPECT_EQ(At(*result.image, 1, 0), 0xFFFFFFu);
}

TEST(BmpDecoderErrors, BrokenOrHostileFilesAreRefusedWithTheirText) {
    BmpSpec huge;
    huge.width = 0x7FFFFFFF;
    huge.height = 0x7FFFFFFF;
    EXPECT_EQ(Decode(BmpFile(huge)).error, kBmpOutOfMemory) << "must be refused before anything is allocated";

    BmpSpec hugeRle = huge;
    hugeRle.bitCount = 8;
    hugeRle.compression = kBmpRle8;
    hugeRle.palette = {0, 0xFFFFFF};
    hugeRle.colourCount = 2;
    EXPECT_EQ(Decode(BmpFile(hugeRle)).error, kBmpOutOfMemory);

    BmpSpec wideButEmpty;
    wideButEmpty.width = 4000;
    wideButEmpty.height = 4000;
    EXPECT_EQ(Decode(BmpFile(wideButEmpty)).error, kBmpConversionError) << "pixels missing from the file";

    BmpSpec spec = FiveWide();
    EXPECT_EQ(Decode(BmpFile(spec), 9).error, kBmpOutOfMemory) << "the pixel limit is the caller's";

    struct Broken {
        const char* what;
        void (*change)(BmpSpec&);
        const char* error;
    };
    const Broken broken[] = {
        {"zero width", [](BmpSpec& s) { s.width = 0; }, kBmpConversionError},
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
    for (const Broken& b : broken) {
        BmpSpec changed = FiveWide();
        b.change(changed);
        BmpDecodeResult result = Decode(BmpFile(changed));
        EXPECT_FALSE(result.image.has_value()) << b.what;
        EXPECT_EQ(result.error, b.error) << b.what;
    }

    std::string farOffset = BmpFile(FiveWide());
    farOffset[10] = '\x7F', farOffset[11] = '\x7F';
    EXPECT_EQ(Decode(farOffset).error, kBmpConversionError) << "pixel offset past the end";
}

TEST(BmpDecoderErrors, EveryPrefixOfAFileFailsCleanly) {
    const std::string full = BmpFile(FiveWide());
    // The last row may lack its padding byte; anything shorter misses pixels.
    for (size_t length = 0; length + 1 < full.size(); ++length) {
        BmpDecodeResult result = Decode(full.substr(0, length));
        EXPECT_FALSE(result.image.has_value()) << "prefix " << length;
        EXPECT_FALSE(result.error.empty()) << "prefix " << length;
    }
    EXPECT_TRUE(Decode(full.substr(0, full.size() - 1)).image.has_value());
}

TEST(BmpImage, RgbaPixelsAddAnOpaqueAlpha) {
    BmpImage image;
    image.width = 2;
    image.height = 1;
    image.pixels = {1, 2, 3, 4, 5, 6};
    EXPECT_EQ(image.RgbaPixels(), (std::vector<uint8_t>{1, 2, 3, 255, 4, 5, 6, 255}));
}

TEST(BmpDecoderFile, ReadsFilesAndNamesTheOneThatCannotBeOpened) {
    TempDir dir;
    dir.Write("five.bmp", BmpFile(FiveWide()));
    ExpectFiveWide(LoadBmpFile(dir.File("five.bmp")), "from a file");
    BmpDecodeResult missing = LoadBmpFile(dir.File("none.bmp"));
    EXPECT_FALSE(missing.image.has_value());
    EXPECT_EQ(missing.error, "Failed to open DIB file " + dir.File("none.bmp") + ".\n");
    EXPECT_EQ(LoadBmpFile(dir.Path()).error, "Failed to open DIB file " + dir.Path() + ".\n") << "a directory";
}
