#include "scene/texture_manager.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "file_builders.h"
#include "support/report_capture.h"
#include "support/temp_dir.h"

namespace {

// Records what would have gone to GL (the path) and hands out names 1, 2, 3 ...
struct UploadLog {
    std::vector<std::string> uploads;
    std::vector<uint32_t> deleted;
};

struct FakeUploader : TextureUploader {
    explicit FakeUploader(UploadLog& log) : log(log) {}
    uint32_t Upload(const BmpImage&, bool, const std::string& path) override {
        log.uploads.push_back(path);
        return static_cast<uint32_t>(log.uploads.size());
    }
    void Delete(uint32_t texture) override { log.deleted.push_back(texture); }
    UploadLog& log;
};

// One black pixel, its row padded to four bytes.
std::string SmallBmp() {
    BmpSpec spec;
    spec.pixels.assign(4, '\0');
    return BmpFile(spec);
}

class TextureManagerTest : public ::testing::Test {
protected:
    TextureManagerTest() : textures(std::make_unique<FakeUploader>(log)) {
        textures.SetMessageBox([this](const std::string&, const std::string& text) { boxes.push_back(text); });
    }

    TempDir dir;
    UploadLog log;
    TextureManager textures;
    std::vector<std::string> boxes;
    ReportCapture capture;
};

TEST_F(TextureManagerTest, SameFileIsDecodedOnceAndShared) {
    dir.Write("five.bmp", SmallBmp());
    uint32_t first = textures.GetTextureWithAlpha(dir.File("five.bmp"));
    EXPECT_EQ(textures.GetTexture(dir.File("five.bmp"), false), first)
        << "two users of one file must share its texture";
    EXPECT_EQ(log.uploads.size(), 1u) << "the file must be decoded and uploaded once";
}

TEST_F(TextureManagerTest, TexturePathComesFirstThenTheNameAsGivenWithBackslashesAsDirectories) {
    TempDir other;
    dir.Write("hull.bmp", SmallBmp());
    dir.Write("ships/deck.bmp", SmallBmp());
    other.Write("hull.bmp", SmallBmp());
    ScopedWorkingDirectory cwd(dir.Path());
    textures.SetTexturePath(other.Path());
    ASSERT_NE(textures.GetTexture("hull.bmp", false), 0u);
    EXPECT_EQ(log.uploads.at(0), other.File("hull.bmp")) << "the texture path comes before the name as given";

    ASSERT_NE(textures.GetTexture(dir.File("ships\\deck.bmp"), false), 0u)
        << "the name as given is tried when the texture path lacks it; backslashes separate directories";
    EXPECT_EQ(log.uploads.at(1), dir.File("ships/deck.bmp"));
}

TEST_F(TextureManagerTest, RefusedFilesGiveZeroWithTheirReason) {
    dir.Write("picture.png", SmallBmp());
    dir.Write("fake.bmp", "this is not a picture at all, only words");
    textures.SetTexturePath(dir.Path());
    EXPECT_EQ(textures.GetTexture("nowhere.bmp", false), 0u);
    EXPECT_EQ(capture.Lines(), std::vector<std::string>{"txr E Texture file does not exist nowhere.bmp"})
        << "a missing file is named as given";

    EXPECT_EQ(textures.GetTexture(dir.File("picture.png"), false), 0u);
    EXPECT_TRUE(capture.Contains("Unsupported file type(need bmp): " + dir.File("picture.png")));

    EXPECT_EQ(textures.GetTexture(dir.File("fake.bmp"), false), 0u);
    EXPECT_TRUE(capture.Contains("Problem with loading texture: " + dir.File("fake.bmp"))) << capture.Joined();
    ASSERT_EQ(boxes.size(), 1u) << "the user must see why the picture failed";
    EXPECT_TRUE(log.uploads.empty());
}

TEST_F(TextureManagerTest, KeptTexturesOutliveDeleteAllTexturesAndGoWithDeleteKeptTextures) {
    dir.Write("menu.bmp", SmallBmp());
    dir.Write("level.bmp", SmallBmp());
    const auto keptTexture = [this] {
        textures.SetKeepMode(true);
        const uint32_t texture = textures.GetTexture(dir.File("menu.bmp"), false);
        textures.SetKeepMode(false);
        return texture;
    };
    const uint32_t menu = keptTexture();
    const uint32_t level = textures.GetTexture(dir.File("level.bmp"), false);

    textures.DeleteKeptTextures();
    EXPECT_EQ(log.deleted, std::vector<uint32_t>{menu}) << "only textures made in keep mode are deleted";
    EXPECT_EQ(textures.GetTexture(dir.File("level.bmp"), false), level) << "the others stay known";
    const uint32_t menuAgain = keptTexture();
    EXPECT_NE(menuAgain, menu) << "a deleted kept texture is made anew";

    log.deleted.clear();
    textures.DeleteAllTextures();
    EXPECT_EQ(log.deleted, std::vector<uint32_t>{level}) << "only textures made outside keep mode are deleted";
    EXPECT_NE(textures.GetTexture(dir.File("menu.bmp"), false), menuAgain)
        << "a kept texture is found again only by a new load";
}

}  // namespace
