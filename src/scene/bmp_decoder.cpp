#include "scene/bmp_decoder.h"

#include <algorithm>
#include <cstdio>

#include "base/byte_reader.h"
#include "scene/file_bytes.h"

namespace {

constexpr uint32_t kCoreHeaderSize = 12;
constexpr uint32_t kInfoHeaderSize = 40;

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
};

// One colour channel of a bit-field pixel: where it sits and how wide it is.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    uint32_t maximum = 0;

    explicit Channel(uint32_t channelMask = 0) : mask(channelMask) {
        if (mask == 0) return;
        while (((mask >> shift) & 1) == 0) ++shift;
        maximum = mask >> shift;
    }

    uint8_t Extract(uint32_t pixel) const {
        if (maximum == 0) return 0;
        return static_cast<uint8_t>(uint64_t{(pixel & mask) >> shift} * 255 / maximum);
    }
};

struct Layout {
    BmpInfo info;
    uint32_t imageSize = 0;
    uint32_t masks[3] = {0, 0, 0};  // red, green, blue
    std::vector<Rgb> palette;
    size_t pixelStart = 0;
    size_t pixelEnd = 0;  // the end of the pixel bytes (the file's end, or the RLE image size)
};

// The optional 14-byte file header: "BM", file size, reserved, pixel offset. Without it
// the bytes start with the DIB header.
uint32_t ReadFileHeader(ByteReader& bytes, BmpInfo& info) {
    if (bytes.Size() < 2) return 0;
    const uint8_t* magic = bytes.Take(2);
    info.hasFileHeader = magic[0] == 'B' && magic[1] == 'M';
    if (!info.hasFileHeader) {
        bytes.Seek(0);
        return 0;
    }
    bytes.Skip(8);
    return bytes.U32();
}

bool IsInfoHeaderSize(uint32_t size) { return size == 40 || size == 52 || size == 56 || size == 108 || size == 124; }

// The DIB header in its core (12-byte) or info (40-byte and longer) form; the returned
// text is the reason when it cannot be read.
const char* ReadDibHeader(ByteReader& bytes, Layout& layout) {
    BmpInfo& info = layout.info;
    info.headerSize = bytes.U32();
    if (!bytes.Ok()) return kBmpUnknownFormat;
    if (info.headerSize == kCoreHeaderSize) {
        info.width = bytes.U16();
        info.height = bytes.U16();
        bytes.Skip(2);  // planes
        info.bitCount = bytes.U16();
    } else if (IsInfoHeaderSize(info.headerSize)) {
        info.width = bytes.I32();
        info.height = bytes.I32();
        bytes.Skip(2);  // planes
        info.bitCount = bytes.U16();
        info.compression = bytes.U32();
        layout.imageSize = bytes.U32();
        bytes.Skip(8);  // resolution
        info.colourCount = bytes.U32();
        bytes.Skip(4);  // important colours
        // V2 and later headers carry the bit-field masks themselves; the 40-byte one
        // is followed by them.
        if (info.headerSize > kInfoHeaderSize || info.compression == kBmpBitFields)
            for (uint32_t& mask : layout.masks) mask = bytes.U32();
    } else {
        return kBmpUnknownFormat;
    }
    if (!bytes.Ok()) return kBmpConversionError;
    if (info.height < 0) {
        if (info.height == INT32_MIN) return kBmpConversionError;
        info.height = -info.height;
        info.topDown = true;
    }
    if (info.colourCount == 0 && info.bitCount <= 8) info.colourCount = 1u << info.bitCount;
    return nullptr;
}

// Reads the colour entries a pixel can name; false when they are not in the file.
bool ReadColourTable(ByteReader& bytes, size_t tableStart, Layout& layout) {
    const BmpInfo& info = layout.info;
    const size_t entrySize = info.headerSize == kCoreHeaderSize ? 3 : 4;
    const uint32_t usable = info.bitCount <= 8 ? std::min(info.colourCount, 1u << info.bitCount) : 0;
    if (!bytes.Seek(tableStart) || !bytes.CanRead(usable, entrySize)) return false;
    layout.palette.resize(usable);
    for (Rgb& colour : layout.palette) {
        colour.b = bytes.U8();
        colour.g = bytes.U8();
        colour.r = bytes.U8();
        bytes.Skip(entrySize - 3);
    }
    return true;
}

const char* ReadHeaders(ByteReader& bytes, Layout& layout) {
    BmpInfo& info = layout.info;
    const uint32_t pixelOffset = ReadFileHeader(bytes, info);
    const size_t dibStart = bytes.Position();
    if (const char* error = ReadDibHeader(bytes, layout)) return error;

    const bool masksFollowHeader = info.headerSize == kInfoHeaderSize && info.compression == kBmpBitFields;
    const size_t tableStart = masksFollowHeader ? bytes.Position() : dibStart + info.headerSize;
    if (!ReadColourTable(bytes, tableStart, layout)) return kBmpConversionError;

    // A missing pixel offset means the pixels follow the colour table, as in a bare DIB.
    const size_t entrySize = info.headerSize == kCoreHeaderSize ? 3 : 4;
    const uint64_t tableEnd = tableStart + uint64_t{info.colourCount} * entrySize;
    const uint64_t pixelStart = info.hasFileHeader && pixelOffset != 0 ? pixelOffset : tableEnd;
    if (pixelStart > bytes.Size()) return kBmpConversionError;
    layout.pixelStart = static_cast<size_t>(pixelStart);
    layout.pixelEnd = bytes.Size();
    const bool runLength = info.compression == kBmpRle8 || info.compression == kBmpRle4;
    if (runLength && layout.imageSize != 0 && layout.imageSize < layout.pixelEnd - layout.pixelStart)
        layout.pixelEnd = layout.pixelStart + layout.imageSize;
    return nullptr;
}

bool FormatSupported(const BmpInfo& info) {
    switch (info.compression) {
        case kBmpRgb:
            return info.bitCount == 1 || info.bitCount == 4 || info.bitCount == 8 || info.bitCount == 16 ||
                   info.bitCount == 24 || info.bitCount == 32;
        case kBmpRle8: return info.bitCount == 8;
        case kBmpRle4: return info.bitCount == 4;
        case kBmpBitFields: return info.bitCount == 16 || info.bitCount == 32;
        default: return false;
    }
}

// Writes decoded pixels into the image, bottom row first, by the file's row number.
class Canvas {
public:
    Canvas(BmpImage& image, bool topDown) : image_(image), topDown_(topDown) {}

    void Put(uint64_t x, uint64_t fileRow, Rgb colour) {
        if (x >= image_.width || fileRow >= image_.height) return;
        const uint64_t row = topDown_ ? image_.height - 1 - fileRow : fileRow;
        uint8_t* pixel = &image_.pixels[(row * image_.width + x) * 3];
        pixel[0] = colour.r;
        pixel[1] = colour.g;
        pixel[2] = colour.b;
    }

private:
    BmpImage& image_;
    bool topDown_;
};

Rgb PaletteColour(const Layout& layout, uint32_t index) {
    return index < layout.palette.size() ? layout.palette[index] : Rgb{};
}

Rgb DecodeDeepPixel(const Layout& layout, const uint8_t* source, const Channel (&channels)[3]) {
    const BmpInfo& info = layout.info;
    if (info.bitCount == 24) return Rgb{source[2], source[1], source[0]};
    uint32_t value = source[0] | uint32_t{source[1]} << 8;
    if (info.bitCount == 32) value |= uint32_t{source[2]} << 16 | uint32_t{source[3]} << 24;
    return Rgb{channels[0].Extract(value), channels[1].Extract(value), channels[2].Extract(value)};
}

uint64_t RowStride(const BmpInfo& info) { return (uint64_t(info.width) * info.bitCount + 31) / 32 * 4; }

// Rows are padded to 4 bytes; the last row may lack its padding.
bool HoldsAllRows(const Layout& layout) {
    const BmpInfo& info = layout.info;
    const uint64_t lastRow = (uint64_t(info.width) * info.bitCount + 7) / 8;
    return RowStride(info) * (uint64_t(info.height) - 1) + lastRow <= layout.pixelEnd - layout.pixelStart;
}

void DecodeUncompressed(const uint8_t* data, const Layout& layout, Canvas& canvas) {
    const BmpInfo& info = layout.info;
    const uint64_t stride = RowStride(info);
    Channel channels[3];
    if (info.compression == kBmpBitFields) {
        for (int c = 0; c < 3; ++c) channels[c] = Channel(layout.masks[c]);
    } else if (info.bitCount == 16) {
        channels[0] = Channel(0x7C00), channels[1] = Channel(0x03E0), channels[2] = Channel(0x001F);
    } else {
        channels[0] = Channel(0xFF0000), channels[1] = Channel(0xFF00), channels[2] = Channel(0xFF);
    }
    const unsigned bytesPerPixel = info.bitCount / 8;
    for (uint64_t y = 0; y < uint64_t(info.height); ++y) {
        const uint8_t* row = data + layout.pixelStart + y * stride;
        for (uint64_t x = 0; x < uint64_t(info.width); ++x) {
            if (info.bitCount >= 16) {
                canvas.Put(x, y, DecodeDeepPixel(layout, row + x * bytesPerPixel, channels));
                continue;
            }
            const uint64_t bit = x * info.bitCount;
            const unsigned shift = 8 - info.bitCount - bit % 8;
            const uint32_t index = (row[bit / 8] >> shift) & ((1u << info.bitCount) - 1);
            canvas.Put(x, y, PaletteColour(layout, index));
        }
    }
}

// Run-length data: pairs of (count, index) or an escape (0, code): 0 ends the line,
// 1 the picture, 2 moves by the next two bytes, more starts a literal run padded to
// 16 bits. The picture may end early or lack its end code; what was drawn stays.
void DecodeRunLength(const uint8_t* data, const Layout& layout, Canvas& canvas) {
    const bool fourBit = layout.info.compression == kBmpRle4;
    ByteReader bytes(data + layout.pixelStart, layout.pixelEnd - layout.pixelStart);
    uint64_t x = 0, y = 0;
    const uint64_t height = uint64_t(layout.info.height);
    while (y < height && bytes.CanRead(2)) {
        const uint8_t count = bytes.U8();
        const uint8_t value = bytes.U8();
        if (count > 0) {
            for (unsigned i = 0; i < count; ++i) {
                const uint32_t index = fourBit ? (i % 2 == 0 ? value >> 4 : value & 0x0F) : value;
                canvas.Put(x++, y, PaletteColour(layout, index));
            }
        } else if (value == 0) {
            x = 0;
            ++y;
        } else if (value == 1) {
            return;
        } else if (value == 2) {
            x += bytes.U8();
            y += bytes.U8();
        } else {
            const unsigned literalBytes = fourBit ? (value + 1u) / 2 : value;
            const uint8_t* literal = bytes.Take(literalBytes);
            if (literal == nullptr) return;
            for (unsigned i = 0; i < value; ++i) {
                const uint32_t index =
                    fourBit ? (i % 2 == 0 ? literal[i / 2] >> 4 : literal[i / 2] & 0x0F) : literal[i];
                canvas.Put(x++, y, PaletteColour(layout, index));
            }
            if (literalBytes % 2 != 0) bytes.Skip(1);
        }
    }
}

}  // namespace

std::vector<uint8_t> BmpImage::RgbaPixels() const {
    std::vector<uint8_t> rgba;
    rgba.reserve(pixels.size() / 3 * 4);
    for (size_t i = 0; i + 2 < pixels.size(); i += 3) {
        rgba.insert(rgba.end(), {pixels[i], pixels[i + 1], pixels[i + 2], 255});
    }
    return rgba;
}

BmpDecodeResult DecodeBmp(const void* data, size_t size, uint64_t maxPixels) {
    BmpDecodeResult result;
    ByteReader bytes(data, size);
    Layout layout;
    const char* error = ReadHeaders(bytes, layout);
    result.info = layout.info;
    if (error != nullptr) {
        result.error = error;
        return result;
    }
    const BmpInfo& info = layout.info;
    if (!FormatSupported(info) || info.width <= 0 || info.height <= 0) {
        result.error = kBmpConversionError;
        return result;
    }
    const uint64_t pixelCount = uint64_t(info.width) * uint64_t(info.height);
    if (pixelCount > maxPixels) {
        result.error = kBmpOutOfMemory;
        return result;
    }
    const bool runLength = info.compression == kBmpRle8 || info.compression == kBmpRle4;
    if (!runLength && !HoldsAllRows(layout)) {
        result.error = kBmpConversionError;
        return result;
    }

    BmpImage image;
    image.width = static_cast<uint32_t>(info.width);
    image.height = static_cast<uint32_t>(info.height);
    image.pixels.assign(pixelCount * 3, 0);
    Canvas canvas(image, info.topDown);
    const uint8_t* bytesIn = static_cast<const uint8_t*>(data);
    if (runLength) {
        DecodeRunLength(bytesIn, layout, canvas);
    } else {
        DecodeUncompressed(bytesIn, layout, canvas);
    }
    result.image = std::move(image);
    return result;
}

BmpDecodeResult LoadBmpFile(const std::string& path, uint64_t maxPixels) {
    std::vector<uint8_t> content;
    if (ReadWholeFile(path, content)) return DecodeBmp(content.data(), content.size(), maxPixels);
    BmpDecodeResult result;
    char text[512];
    std::snprintf(text, sizeof text, kBmpOpenFailedFormat, path.c_str());
    result.error = text;
    return result;
}
