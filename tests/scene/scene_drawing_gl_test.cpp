// Draws real scenes into a small window on the display and reads the pixels back.
#include <gtest/gtest.h>

#include <string>

#include "base/ini_file.h"
#include "file_builders.h"
#include "scene/frame.h"
#include "scene/model_manager.h"
#include "scene/texture_manager.h"
#include "support/gl_window.h"
#include "support/report_capture.h"

namespace {

bool Near(const Pixel& a, const Pixel& b) { return PixelNear(a, b); }
bool Reddish(const Pixel& p) { return p.r > 128 && p.g < 32 && p.b < 32; }
bool Greenish(const Pixel& p) { return p.g > 128 && p.r < 32 && p.b < 32; }

const Pixel kBlack{0, 0, 0};

// A camera three units in front of the x-y plane, a light beside it, and a builder for
// squares of half-size `half` around (x, 0, 0) facing the camera, each with its material.
class SceneGlTest : public GlContextTest {
protected:
    void TearDown() override {
        textures_.DeleteAllTextures();
        GlContextTest::TearDown();
    }

    void LookAtTheXyPlane(ModelManager& scene, const std::string& ambient) {
        IniFile ini;
        ini.Parse("[camera0]\nloc=0,0,3\nlook_at=0,0,0\nup_dir=0,1,0\n[light0]\ntype=2\nloc=0,0,3\nambient=" + ambient +
                  "\ndiffuse=1,1,1\nspecular=0,0,0\n");
        scene.LoadLightsFromIni(ini);
        ASSERT_TRUE(scene.LoadCamerasFromIni(ini));
    }

    void AddSquare(int32_t id, float x, float half, const CobMat1Spec& mat1) {
        CobPolHSpec polh = CobSquare("square" + std::to_string(id));
        polh.matrix[3] = x;
        polh.vertices = {{-half, -half, 0}, {-half, half, 0}, {half, half, 0}, {half, -half, 0}};
        file_.Chunk("PolH", 0, 4, id, 0, Encoded(WriteCobPolH, polh, int16_t{4}))
            .Chunk("Mat1", 0, 0, id * 10, id, Encoded(WriteCobMat1, mat1))
            .Chunk("ShBx", 0, 0, id * 10 + 1, id * 10, Encoded(WriteCobShBx, "phong", CobPhongParameters(1)));
    }

    void DrawFrameOf(ModelManager& scene) {
        FrameLayout layout;
        layout.sceneArea = {0, 0, kSize, kSize};
        layout.windowWidth = layout.windowHeight = kSize;
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        DrawFrame(
            layout, [&] { scene.DrawScene(); }, nullptr);
    }

    CobFileBuilder file_;
    TextureManager textures_{MakeGlTextureUploader()};
};

TEST_F(SceneGlTest, AttachedOnlyModelsAreDrawnOnlyThroughTheirOwner) {
    CobMat1Spec green, red;
    green.red = 0, green.green = 1, green.blue = 0, green.ka = 0;
    red.red = 1, red.green = 0, red.blue = 0, red.ka = 0;
    AddSquare(1, -0.75f, 0.3f, green);
    AddSquare(2, 0.75f, 0.3f, red);
    file_.End();
    CobReader reader;
    ASSERT_TRUE(reader.LoadFromMemory(file_.Bytes().data(), file_.Bytes().size(), "ships.cob"));
    ModelManager scene{textures_};
    Model* ship = &scene.BuildModel(reader, reader.Polyhedra()[0])->model;
    Model* bullet = &scene.BuildModel(reader, reader.Polyhedra()[1])->model;
    LookAtTheXyPlane(scene, "0,0,0");
    // Window columns of x = -0.75, 0 and 0.75 in the plane.
    const int shipColumn = kSize / 2 - 19, middle = kSize / 2, bulletColumn = kSize / 2 + 19;

    DrawFrameOf(scene);
    EXPECT_TRUE(Greenish(At(shipColumn, middle))) << At(shipColumn, middle);
    EXPECT_TRUE(Reddish(At(bulletColumn, middle))) << "a free bullet is drawn on its own";
    {
        SpinLockGuard lock(scene.SceneLock());
        ship->attached.push_back(bullet);
        bullet->attachedOnly = true;
    }
    DrawFrameOf(scene);
    EXPECT_PRED2(Near, At(bulletColumn, middle), kBlack) << "an attachedOnly model must not draw by itself";
    // Inside the ship's transform the bullet's own offset brings it to the middle.
    EXPECT_TRUE(Reddish(At(middle, middle))) << At(middle, middle);
}

}  // namespace
