#include "scene/texture_manager.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "file_builders.h"
#include "support/report_capture.h"
#include "support/temp_dir.h"

namespace {

// Records what would have gone to GL and hands out names 1, 2, 3 ...
struct UploadLog {
    struct Upload {
        std::string path;
        bool withAlpha;
        uint32_t width, height;
        size_t pixelBytes;
    };
    std::vector<Upload> uploads;
    std::vector<uint32_t> deleted;
    bool refuse = false;
};

class FakeUploader : public TextureUploader {
public:
    explicit FakeUploader(UploadLog& log) : log_(log) {}
    uint32_t Upload(const BmpImage& image, bool withAlpha, const std::string& path) override {
        if (log_.refuse) return 0;
        log_.uploads.push_back({path, withAlpha, image.width, image.height, image.pixels.size()});
        return static_cast<uint32_t>(log_.uploads.size());
    }
    void Delete(uint32_t texture) override { log_.deleted.push_back(texture); }

private:
    UploadLog& log_;
};

// A 24-bit picture, each row padded to four bytes as in the files.
std::string SmallBmp(int width = 2, int height = 2) {
    BmpSpec spec;
    spec.width = width;
    spec.height = height;
    for (int row = 0; row < height; ++row) {
        std::string line;
        for (int x = 0; x < width; ++x) line += {char(7), char(row * 100), char(x * 100)};
        line.resize((line.size() + 3) / 4 * 4, '\0');
        spec.pixels += line;
    }
    return BmpFile(spec);
}

class TextureManagerTest : public ::testing::Test {
protected:
    TextureManagerTest() : textures(std::make_unique<FakeUploader>(log)) {
        textures.SetMessageBox([this](const std::string& title, const std::string& text) {
            boxes.emplace_back(title, text);
        });
    }

    TempDir dir;
    UploadLog log;
    TextureManager textures;
    std::vector<std::pair<std::string, std::string>> boxes;
    ReportCapture capture;
};

TEST_F(TextureManagerTest, SameFileIsDecodedOnceAndSharedAndUploadedWithUnpaddedRows) {
    dir.Write("five.bmp", SmallBmp(5, 3));
    uint32_t first = textures.GetTextureWithAlpha(dir.File("five.bmp"));
    EXPECT_NE(first, 0u);
    EXPECT_EQ(textures.GetTexture(dir.File("five.bmp"), false), first) << "two users of one file must share its texture";
    ASSERT_EQ(log.uploads.size(), 1u) << "the file must be decoded and uploaded once";
    EXPECT_EQ(log.uploads[0].pixelBytes, 5u * 3 * 3) << "15 bytes per row of a 5-pixel-wide image";
    EXPECT_TRUE(log.uploads[0].withAlpha);
}

TEST_F(TextureManagerTest, TexturePathComesFirstThenTheNameAsGivenWithBackslashesAsDirectories) {
    TempDir other;
    dir.Write("hull.bmp", SmallBmp(2, 2));
    dir.Write("ships/deck.bmp", SmallBmp());
    other.Write("hull.bmp", SmallBmp(4, 4));
    ScopedWorkingDirectory cwd(dir.Path());
    textures.SetTexturePath(other.Path());
    ASSERT_NE(textures.GetTexture("hull.bmp", false), 0u);
    EXPECT_EQ(log.uploads.at(0).path, other.File("hull.bmp")) << "the texture path comes before the name as given";
    EXPECT_EQ(log.uploads.at(0).width, 4u);

    ASSERT_NE(textures.GetTexture(dir.File("ships\\deck.bmp"), false), 0u)
        << "the name as given is tried when the texture path lacks it; backslashes separate directories";
    EXPECT_EQ(log.uploads.at(1).path, dir.File("ships/deck.bmp"));
}

TEST_F(TextureManagerTest, RefusedFilesGiveZeroWithTheirReason) {
    dir.Write("upper.BMP", SmallBmp());
    dir.Write("picture.png", SmallBmp());
    dir.Write("fake.bmp", "this is not a picture at all, only words");
    textures.SetTexturePath(dir.Path());
    EXPECT_EQ(textures.GetTexture("nowhere.bmp", false), 0u);
    EXPECT_EQ(capture.Lines(), std::vector<std::string>{"txr E Texture file does not exist nowhere.bmp"})
        << "a missing file is named as given";

    EXPECT_NE(textures.GetTexture(dir.File("upper.BMP"), false), 0u) << "the ending is compared without case";
    EXPECT_EQ(textures.GetTexture(dir.File("picture.png"), false), 0u);
    EXPECT_TRUE(capture.Contains("Unsupported file type(need bmp): " + dir.File("picture.png")));

    EXPECT_EQ(textures.GetTexture(dir.File("fake.bmp"), false), 0u);
    EXPECT_TRUE(capture.Contains("Problem with loading texture: " + dir.File("fake.bmp"))) << capture.Joined();
    ASSERT_EQ(boxes.size(), 1u) << "the user must see why the picture failed";
    EXPECT_EQ(boxes[0].first, "Error");
    EXPECT_EQ(log.uploads.size(), 1u) << "only the BMP that decodes is uploaded";

    log.refuse = true;
    dir.Write("hull.bmp", SmallBmp());
    EXPECT_EQ(textures.GetTexture(dir.File("hull.bmp"), false), 0u);
    log.refuse = false;
    EXPECT_NE(textures.GetTexture(dir.File("hull.bmp"), false), 0u) << "a failed upload is not remembered";
}

TEST_F(TextureManagerTest, DeleteAllTexturesSparesKeptTexturesButForgetsThem) {
    dir.Write("menu.bmp", SmallBmp());
    dir.Write("level.bmp", SmallBmp());
    textures.SetKeepMode(true);
    uint32_t menu = textures.GetTexture(dir.File("menu.bmp"), false);
    textures.SetKeepMode(false);
    uint32_t level = textures.GetTexture(dir.File("level.bmp"), false);

    textures.DeleteAllTextures();
    EXPECT_EQ(log.deleted, std::vector<uint32_t>{level}) << "only textures made outside keep mode are deleted";
    EXPECT_EQ(textures.TextureCount(), 0u);

    uint32_t again = textures.GetTexture(dir.File("menu.bmp"), false);
    EXPECT_NE(again, menu) << "a kept texture is found again only by a new load";
    EXPECT_EQ(log.uploads.size(), 3u);

    textures.DeleteAllTextures();
    EXPECT_EQ(log.deleted, (std::vector<uint32_t>{level, again})) << "the reload was made outside keep mode";
}

}  // namespace
