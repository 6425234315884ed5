#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Our own BMP decoder: Windows and OS/2 bitmaps with the 12-byte core header, the
// 40-byte info header and the larger V2 to V5 headers; 1-, 4- and 8-bit palettised,
// 16-bit (5-5-5 or bit-field masks), 24- and 32-bit pixels; RLE4 and RLE8; bottom-up
// and top-down rows. The file header ("BM") is optional: without it the bytes are a
// bare DIB whose pixels follow the colour table.

// The error texts a user sees in the message box when a texture cannot be decoded.
constexpr const char* kBmpUnknownFormat = "Unknown DIB file format.";
constexpr const char* kBmpConversionError = "Image file conversion error.";
constexpr const char* kBmpOutOfMemory = "Out of memory.";
// With the file name in place of %s.
constexpr const char* kBmpOpenFailedFormat = "Failed to open DIB file %s.\n";

enum BmpCompression : uint32_t {
    kBmpRgb = 0,
    kBmpRle8 = 1,
    kBmpRle4 = 2,
    kBmpBitFields = 3,
};

// What the headers say, also for files that fail to decode (as far as it was read).
struct BmpInfo {
    uint32_t headerSize = 0;  // 12, 40, 52, 56, 108 or 124
    int32_t width = 0;
    int32_t height = 0;  // always positive; see topDown
    uint16_t bitCount = 0;
    uint32_t compression = kBmpRgb;
    uint32_t colourCount = 0;  // entries of the colour table in use
    bool topDown = false;
    bool hasFileHeader = false;
};

// A decoded picture, ready for a GL upload: width x height x 3 bytes, R G B, rows
// tightly packed and the bottom row first whatever the file's row order.
struct BmpImage {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint8_t> pixels;

    // The same picture as R G B A with every alpha 255, for textures with an alpha channel.
    std::vector<uint8_t> RgbaPixels() const;
};

struct BmpDecodeResult {
    std::optional<BmpImage> image;  // empty on failure
    std::string error;              // one of the texts above on failure
    BmpInfo info;
};

// Pictures above this many pixels are refused with kBmpOutOfMemory instead of allocated.
constexpr uint64_t kBmpMaxPixels = uint64_t{8192} * 8192;

BmpDecodeResult DecodeBmp(const void* data, size_t size, uint64_t maxPixels = kBmpMaxPixels);

// Reads and decodes a file; a file that cannot be read gives kBmpOpenFailedFormat with its name.
BmpDecodeResult LoadBmpFile(const std::string& path, uint64_t maxPixels = kBmpMaxPixels);
