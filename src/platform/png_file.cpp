#include "platform/png_file.h"

#include <png.h>

#include "base/report.h"

bool WritePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb) {
    if (width <= 0 || height <= 0 || rgb.size() != static_cast<size_t>(width) * static_cast<size_t>(height) * 3) {
        Report(LogModule::kKav, LogLevel::kError, "No picture to write to %s", path.c_str());
        return false;
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGB;
    if (png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), 0, nullptr) != 0) return true;
    Report(LogModule::kKav, LogLevel::kError, "Could not write %s: %s", path.c_str(), image.message);
    png_image_free(&image);
    return false;
}
