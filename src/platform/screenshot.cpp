#include "platform/screenshot.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

#include <GL/gl.h>

#include "base/report.h"
#include "platform/png_file.h"

namespace {

std::vector<uint8_t> ReadBackBuffer(int width, int height) {
    const size_t rowBytes = static_cast<size_t>(width) * 3;
    std::vector<uint8_t> bottomUp(rowBytes * static_cast<size_t>(height));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
    // GL's rows start at the bottom, a PNG's at the top.
    std::vector<uint8_t> topDown(bottomUp.size());
    for (int row = 0; row < height; ++row)
        std::copy_n(bottomUp.begin() + static_cast<std::ptrdiff_t>(rowBytes * static_cast<size_t>(height - 1 - row)),
                    rowBytes, topDown.begin() + static_cast<std::ptrdiff_t>(rowBytes * static_cast<size_t>(row)));
    return topDown;
}

}  // namespace

std::string NextScreenshotPath(const std::string& folder) {
    for (int number = 1; number <= kMaxScreenshots; ++number) {
        char name[32];
        std::snprintf(name, sizeof name, "kav-%04d.png", number);
        const std::string path = folder + "/" + name;
        std::error_code error;
        if (!std::filesystem::exists(path, error) && !error) return path;
    }
    return "";
}

std::string SaveScreenshot(const std::string& folder, int width, int height) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        Report(LogModule::kKav, LogLevel::kError, "Could not create %s: %s", folder.c_str(), error.message().c_str());
        return "";
    }
    const std::string path = NextScreenshotPath(folder);
    if (path.empty()) {
        Report(LogModule::kKav, LogLevel::kError, "No free screenshot name left in %s", folder.c_str());
        return "";
    }
    if (width <= 0 || height <= 0) return "";
    return WritePng(path, width, height, ReadBackBuffer(width, height)) ? path : "";
}
