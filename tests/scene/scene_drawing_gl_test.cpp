// Draws real scenes into a small window on the display and reads the pixels back.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "app/ini_file.h"
#include "file_builders.h"
#include "scene/frame.h"
#include "scene/model_manager.h"
#include "scene/texture_manager.h"
#include "support/gl_window.h"
#include "support/report_capture.h"
#include "support/temp_dir.h"

namespace {

bool Near(const Pixel& a, const Pixel& b) { return PixelNear(a, b); }

const Pixel kBlack{0, 0, 0}, kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlue{0, 0, 255}, kWhite{255, 255, 255};

class SceneGlTest : public GlContextTest {
protected:
    void SetUp() override {
        GlContextTest::SetUp();
        layout_.sceneArea = {0, 0, kSize, kSize};
        layout_.windowWidth = kSize;
        layout_.windowHeight = kSize;
    }

    void TearDown() override {
        TextureManager::Instance().DeleteAllTextures();
        TextureManager::Instance().SetTexturePath("");
        GlContextTest::TearDown();
    }

    // One frame of the scene; the pixels stay in the back buffer for reading.
    void DrawFrameOf(ModelManager& scene) {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        DrawFrame(layout_, [&] { scene.DrawScene(); }, nullptr);
    }

    FrameLayout layout_;
};

// A camera three units in front of the x-y plane and a light beside it.
void LookAtTheXyPlane(ModelManager& scene, float ambient) {
    IniFile ini;
    ini.Parse("[camera0]\nloc=0,0,3\nlook_at=0,0,0\nup_dir=0,1,0\n"
              "[light0]\ntype=2\nloc=0,0,3\nambient=" +
              std::to_string(ambient) + "," + std::to_string(ambient) + "," + std::to_string(ambient) +
              "\ndiffuse=1,1,1\nspecular=0,0,0\n");
    scene.LoadLightsFromIni(ini);
    ASSERT_TRUE(scene.LoadCamerasFromIni(ini));
}

// A square of half-size `half` around (x, 0, 0), corners clockwise seen from +z so its
// flat normal faces the camera, texture coordinates 0..1 from its bottom-left corner.
ByteWriter SquarePolH(const std::string& name, float x, float half) {
    CobPolHSpec polh;
    polh.name = name;
    polh.matrix[3] = x;
    polh.vertices = {{-half, -half, 0}, {-half, half, 0}, {half, half, 0}, {half, -half, 0}};
    polh.textureVertices = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};
    CobFaceSpec face;
    face.corners = {{0, 0}, {1, 1}, {2, 2}, {3, 3}};
    polh.faces = {face};
    ByteWriter body;
    WriteCobPolH(body, polh, 4);
    return body;
}

void AddPhongMaterial(CobFileBuilder& file, int32_t polyhedronId, const CobMat1Spec& mat1) {
    ByteWriter material, box;
    WriteCobMat1(material, mat1);
    WriteCobShBx(box, "phong", CobPhongParameters(1));
    file.Chunk("Mat1", 0, 0, polyhedronId * 10, polyhedronId, material);
    file.Chunk("ShBx", 0, 0, polyhedronId * 10 + 1, polyhedronId * 10, box);
}

// An 8 x 8 picture in four colours: red bottom-left, green bottom-right, blue top-left,
// white top-right.
std::string QuadrantsBmp() {
    BmpSpec spec;
    spec.width = 8;
    spec.height = 8;
    for (int fromBottom = 0; fromBottom < 8; ++fromBottom) {  // files store the bottom row first
        for (int x = 0; x < 8; ++x) {
            Pixel p = fromBottom < 4 ? (x < 4 ? kRed : kGreen) : (x < 4 ? kBlue : kWhite);
            spec.pixels += {char(p.b), char(p.g), char(p.r)};
        }
    }
    return BmpFile(spec);
}

TEST_F(SceneGlTest, TexturedCobModelShowsItsPictureUprightThroughTheCamera) {
    TempDir dir;
    dir.Write("quadrants.bmp", QuadrantsBmp());
    TextureManager::Instance().SetTexturePath(dir.Path());
    CobFileBuilder file;
    file.Chunk("PolH", 0, 4, 1, 0, SquarePolH("panel", 0, 1));
    CobMat1Spec mat1;
    mat1.ka = 1;  // lit by the light's full ambient, so the picture shows unchanged
    mat1.subRecords = CobTextureSubRecord("textures\\quadrants.bmp");
    AddPhongMaterial(file, 1, mat1);
    file.End();
    dir.Write("panel.cob", file.Bytes());

    ModelManager scene;
    ModelObject* panel = scene.LoadModelFile(dir.File("panel.cob"));
    ASSERT_NE(panel, nullptr);
    ASSERT_NE(panel->model.materials.at(0).texture, 0u) << "the texture must have been found and uploaded";
    LookAtTheXyPlane(scene, 1);
    DrawFrameOf(scene);

    // The square covers about 80% of the view; its quadrant centres sit 13 pixels off the middle.
    const int low = kSize / 2 - 13, high = kSize / 2 + 13;
    EXPECT_PRED2(Near, At(low, low), kRed) << "bottom-left of the picture at the bottom-left";
    EXPECT_PRED2(Near, At(high, low), kGreen);
    EXPECT_PRED2(Near, At(low, high), kBlue);
    EXPECT_PRED2(Near, At(high, high), kWhite);
}

bool Reddish(const Pixel& p) { return p.r > 128 && p.g < 32 && p.b < 32; }
bool Greenish(const Pixel& p) { return p.g > 128 && p.r < 32 && p.b < 32; }

TEST_F(SceneGlTest, AttachedOnlyModelsAreDrawnOnlyThroughTheirOwner) {
    CobFileBuilder file;
    file.Chunk("PolH", 0, 4, 1, 0, SquarePolH("ship", -0.75f, 0.3f));
    file.Chunk("PolH", 0, 4, 2, 0, SquarePolH("bullet", 0.75f, 0.3f));
    CobMat1Spec green, red;
    green.red = 0, green.green = 1, green.blue = 0, green.ka = 0;
    red.red = 1, red.green = 0, red.blue = 0, red.ka = 0;
    AddPhongMaterial(file, 1, green);
    AddPhongMaterial(file, 2, red);
    file.End();
    CobReader reader;
    ASSERT_TRUE(reader.LoadFromMemory(file.Bytes().data(), file.Bytes().size(), "ships.cob"));
    ModelManager scene;
    Model* ship = &scene.BuildModel(reader, reader.Polyhedra()[0])->model;
    Model* bullet = &scene.BuildModel(reader, reader.Polyhedra()[1])->model;
    LookAtTheXyPlane(scene, 0);
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

    {
        SpinLockGuard lock(scene.SceneLock());
        ship->attached.clear();
    }
    DrawFrameOf(scene);
    EXPECT_PRED2(Near, At(middle, middle), kBlack) << "detached but still attachedOnly: drawn nowhere";
}

TEST_F(SceneGlTest, ScenePassUsesTheSceneAreasAspectAndDepthTest) {
    layout_.sceneArea = {16, 0, 32, 16};  // wider than high, at the top of the window
    BeginScenePass(layout_);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(std::vector<GLint>(viewport, viewport + 4), (std::vector<GLint>{16, 48, 32, 16}))
        << "GL rows count from the bottom of the window";
    GLfloat projection[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    EXPECT_NEAR(projection[5] / projection[0], 2.0, 1e-5) << "aspect of the scene area, not of the window";
    EXPECT_NEAR(projection[5], 1 / std::tan(22.5 * M_PI / 180), 1e-5) << "45 degrees vertically";
    EXPECT_NEAR(projection[14] / projection[10], 2 * 1000.0 * 1 / (1000 + 1), 1e-3) << "near 1, far 1000";
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
}

TEST_F(SceneGlTest, OverlayPassCountsPixelsFromTheTopLeft) {
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    BeginScenePass(layout_);
    BeginOverlayPass(layout_);
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST) || glIsEnabled(GL_TEXTURE_2D) || glIsEnabled(GL_BLEND));

    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glColor3f(1, 1, 1);
    glBegin(GL_QUADS);  // the top-left 10 x 10 pixels
    glVertex2i(0, 0);
    glVertex2i(10, 0);
    glVertex2i(10, 10);
    glVertex2i(0, 10);
    glEnd();
    glFinish();
    EXPECT_PRED2(Near, At(5, kSize - 5), kWhite) << "y grows downwards from the top";
    EXPECT_PRED2(Near, At(5, 5), kBlack);
}

// The GL uploader: rows of 15 bytes must not be read as if padded to 16, and only
// textures made outside keep mode are deleted.
TEST_F(SceneGlTest, GlTexturesKeepFivePixelColumnsAndKeptOnesOutliveDeleteAllTextures) {
    TempDir dir;
    BmpSpec spec;
    spec.width = 5;
    spec.height = 2;
    for (int i = 0; i < 10; ++i) spec.pixels += i % 5 == 4 ? std::string{0, 0, char(255), 0} : std::string(3, '\0');
    dir.Write("five.bmp", BmpFile(spec));
    dir.Write("menu.bmp", QuadrantsBmp());
    TextureManager textures(MakeGlTextureUploader());
    textures.SetKeepMode(true);
    GLuint menu = textures.GetTexture(dir.File("menu.bmp"), true);
    textures.SetKeepMode(false);
    GLuint five = textures.GetTexture(dir.File("five.bmp"), false);
    ASSERT_TRUE(glIsTexture(menu) && glIsTexture(five));

    std::vector<unsigned char> read(10 * 3);  // two rows of 15 bytes, not padded to 16
    glBindTexture(GL_TEXTURE_2D, five);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, read.data());
    for (int i = 0; i < 10; ++i) EXPECT_EQ(read[i * 3], i % 5 == 4 ? 255 : 0) << "row " << i / 5 << " column " << i % 5;

    textures.DeleteAllTextures();
    EXPECT_TRUE(glIsTexture(menu)) << "a texture made in keep mode stays valid";
    EXPECT_FALSE(glIsTexture(five));
    glDeleteTextures(1, &menu);
}

}  // namespace
