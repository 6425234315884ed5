// Draws real scenes into a small window on the display and reads the pixels back.
#include <gtest/gtest.h>

#include <string>

#include "base/ini_file.h"
#include "file_builders.h"
#include "scene/frame.h"
#include "scene/model_manager.h"
#include "scene/texture_manager.h"
#include "support/gl_window.h"

namespace {

bool Near(const Pixel& a, const Pixel& b) { return PixelNear(a, b); }
bool Reddish(const Pixel& p) { return p.r > 128 && p.g < 32 && p.b < 32; }
bool Greenish(const Pixel& p) { return p.g > 128 && p.r < 32 && p.b < 32; }

const Pixel kBlack{0, 0, 0};

// A square of half-size 0.3 around (x, 0, 0) facing +z, of its own colour without ambient light.
void AddSquare(CobFileBuilder& file, int32_t id, float x, float red, float green) {
    CobPolHSpec polh = CobSquare("square" + std::to_string(id));
    polh.matrix[3] = x;
    polh.vertices = {{-0.3f, -0.3f, 0}, {-0.3f, 0.3f, 0}, {0.3f, 0.3f, 0}, {0.3f, -0.3f, 0}};
    CobMat1Spec mat1;
    mat1.red = red, mat1.green = green, mat1.blue = 0, mat1.ka = 0;
    file.Chunk("PolH", 0, 4, id, 0, Encoded(WriteCobPolH, polh, int16_t{4}))
        .Chunk("Mat1", 0, 0, id * 10, id, Encoded(WriteCobMat1, mat1))
        .Chunk("ShBx", 0, 0, id * 10 + 1, id * 10, Encoded(WriteCobShBx, "phong", CobPhongParameters(1)));
}

using SceneGlTest = GlContextTest;

TEST_F(SceneGlTest, AttachedOnlyModelsAreDrawnOnlyThroughTheirOwner) {
    CobFileBuilder file;
    AddSquare(file, 1, -0.75f, 0, 1);
    AddSquare(file, 2, 0.75f, 1, 0);
    file.End();
    CobReader reader;
    ASSERT_TRUE(reader.LoadFromMemory(file.Bytes().data(), file.Bytes().size(), "ships.cob"));
    TextureManager textures{MakeGlTextureUploader()};
    ModelManager scene{textures};
    Model* ship = &scene.BuildModel(reader, reader.Polyhedra()[0])->model;
    Model* bullet = &scene.BuildModel(reader, reader.Polyhedra()[1])->model;
    IniFile ini;  // a camera three units in front of the x-y plane, a light beside it
    ini.Parse(
        "[camera0]\nloc=0,0,3\nlook_at=0,0,0\nup_dir=0,1,0\n[light0]\ntype=2\nloc=0,0,3\nambient=0,0,0\n"
        "diffuse=1,1,1\nspecular=0,0,0\n");
    scene.LoadLightsFromIni(ini);
    ASSERT_TRUE(scene.LoadCamerasFromIni(ini));
    const auto drawFrame = [&scene] {
        FrameLayout layout;
        layout.sceneArea = {0, 0, kSize, kSize};
        layout.windowWidth = layout.windowHeight = kSize;
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        DrawFrame(
            layout, [&] { scene.DrawScene(); }, nullptr);
    };
    // Window columns of x = -0.75, 0 and 0.75 in the plane.
    const int shipColumn = kSize / 2 - 19, middle = kSize / 2, bulletColumn = kSize / 2 + 19;

    drawFrame();
    EXPECT_TRUE(Greenish(At(shipColumn, middle))) << At(shipColumn, middle);
    EXPECT_TRUE(Reddish(At(bulletColumn, middle))) << "a free bullet is drawn on its own";
    {
        SpinLockGuard lock(scene.SceneLock());
        ship->attached.push_back(bullet);
        bullet->attachedOnly = true;
    }
    drawFrame();
    EXPECT_PRED2(Near, At(bulletColumn, middle), kBlack) << "an attachedOnly model must not draw by itself";
    // Inside the ship's transform the bullet's own offset brings it to the middle.
    EXPECT_TRUE(Reddish(At(middle, middle))) << At(middle, middle);
}

}  // namespace
