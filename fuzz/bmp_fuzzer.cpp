#include <cstddef>
#include <cstdint>

#include "scene/bmp_decoder.h"

namespace {

// Big enough for every header path, small enough to keep the fuzzer fast.
constexpr uint64_t kFuzzMaxPixels = 1 << 16;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    BmpDecodeResult result = DecodeBmp(data, size, kFuzzMaxPixels);
    if (!result.image) return 0;
    const BmpImage& image = *result.image;
    if (image.pixels.size() != uint64_t{image.width} * image.height * 3) __builtin_trap();
    if (image.RgbaPixels().size() != uint64_t{image.width} * image.height * 4) __builtin_trap();
    return 0;
}
