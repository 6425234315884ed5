#include "platform/png_file.h"

#include <gtest/gtest.h>
#include <png.h>

#include <string>
#include <vector>

#include "platform/screenshot.h"
#include "support/report_capture.h"
#include "support/temp_dir.h"

namespace {

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;
};

Picture ReadPng(const std::string& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&image, path.c_str()) == 0) return {};
    image.format = PNG_FORMAT_RGB;
    Picture picture{static_cast<int>(image.width), static_cast<int>(image.height),
                    std::vector<uint8_t>(PNG_IMAGE_SIZE(image))};
    if (png_image_finish_read(&image, nullptr, picture.rgb.data(), 0, nullptr) == 0) return {};
    return picture;
}

TEST(PngFile, WhatIsWrittenReadsBackTopRowFirst) {
    TempDir dir;
    // 3 x 2: a red, green, blue top row over a white, black, grey one.
    const std::vector<uint8_t> rgb{255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255, 0, 0, 0, 128, 128, 128};
    ASSERT_TRUE(WritePng(dir.File("shot.png"), 3, 2, rgb));
    const Picture back = ReadPng(dir.File("shot.png"));
    EXPECT_EQ(back.width, 3);
    EXPECT_EQ(back.height, 2);
    EXPECT_EQ(back.rgb, rgb);
}

TEST(PngFile, AWrongSizeOrAnUnwritablePlaceIsAnError) {
    TempDir dir;
    ReportCapture capture;
    EXPECT_FALSE(WritePng(dir.File("short.png"), 2, 2, std::vector<uint8_t>(11)));
    EXPECT_FALSE(WritePng(dir.File("empty.png"), 0, 0, {}));
    EXPECT_FALSE(WritePng(dir.File("no/such/folder/x.png"), 1, 1, {1, 2, 3}));
    EXPECT_EQ(capture.Lines().size(), 3u);
}

TEST(ScreenshotNames, SkipTakenNumbersAndFillGaps) {
    TempDir dir;
    dir.Write("kav-0001.png", "");
    dir.Write("kav-0003.png", "");
    EXPECT_EQ(NextScreenshotPath(dir.Path()), dir.Path() + "/kav-0002.png");
    dir.Write("kav-0002.png", "");
    EXPECT_EQ(NextScreenshotPath(dir.Path()), dir.Path() + "/kav-0004.png");
}

}  // namespace
