#include "inspection.h"
#include "scene/bmp_decoder.h"

namespace {

const char* CompressionName(uint32_t compression) {
    switch (compression) {
        case kBmpRgb: return "none";
        case kBmpRle8: return "RLE8";
        case kBmpRle4: return "RLE4";
        case kBmpBitFields: return "bit fields";
        default: return "unsupported";
    }
}

}  // namespace

Inspection InspectBmp(const std::string& path) {
    Inspection inspection;
    inspection.details.Set("file", ReportValue::Text(path)).Set("kind", ReportValue::Text("BMP picture"));
    const BmpDecodeResult result = LoadBmpFile(path);
    inspection.loads = result.image.has_value();
    // The decoder's texts end some messages with a line feed meant for a box.
    inspection.reason = result.error.substr(0, result.error.find_last_not_of('\n') + 1);
    const BmpInfo& info = result.info;
    inspection.details.Set("loads", ReportValue::Bool(inspection.loads))
        .Set("width", ReportValue::Integer(info.width))
        .Set("height", ReportValue::Integer(info.height))
        .Set("bitCount", ReportValue::Integer(info.bitCount))
        .Set("compression", ReportValue::Text(CompressionName(info.compression)))
        .Set("headerSize", ReportValue::Integer(info.headerSize))
        .Set("topDown", ReportValue::Bool(info.topDown));
    if (!inspection.loads) inspection.details.Set("error", ReportValue::Text(inspection.reason));
    return inspection;
}
