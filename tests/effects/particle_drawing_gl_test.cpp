// Particles drawn into a small window of their own and read back; needs a display.
#include <gtest/gtest.h>

#include "effects/particle_system_manager.h"
#include "particle_test_support.h"
#include "support/gl_window.h"
#include "support/report_capture.h"

namespace {

void ExpectNear(const Pixel& actual, const Pixel& expected, const char* what) {
    EXPECT_PRED3(PixelNear, actual, expected, 6) << what;
}

// An orthographic view of -1..1 over a grey background.
class ParticleDrawingGlTest : public GlContextTest {
protected:
    void SetUp() override {
        GlContextTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        glViewport(0, 0, kSize, kSize);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-1, 1, -1, 1, -10, 10);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glClearColor(0.25f, 0.25f, 0.25f, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

        manager_.SetClock([] { return int64_t{0}; });
        manager_.SetTextureLoader([this](const std::string&) { return texture_; });
        ASSERT_TRUE(manager_.Init());
    }

    void TearDown() override {
        if (texture_ != 0) glDeleteTextures(1, &texture_);
        GlContextTest::TearDown();
    }

    // One running emitter with a single particle of half-size 0.25 at the origin.
    int RunningEmitter(const char* red, const char* green, const char* blue) {
        int handle = manager_.AddEmitter(StillEmitter({{"size", "0.25,0.25,0"}, {"red", red}, {"green", green},
                                                       {"blue", blue}, {"alpha", "1,1,0"}}));
        manager_.RestartEmitter(handle);
        return handle;
    }

    ReportCapture log_;
    ParticleSystemManager manager_;
    GLuint texture_ = 0;
};

TEST_F(ParticleDrawingGlTest, ParticlesAddTheirColourToTheScene) {
    RunningEmitter("0.5,0.5,0", "0,0,0", "0.25,0.25,0");
    manager_.DrawAll();
    ExpectNear(At(kSize / 2, kSize / 2), {191, 64, 128}, "the particle adds onto the grey background");
    ExpectNear(At(2, 2), {64, 64, 64}, "outside the square the scene is untouched");
}

TEST_F(ParticleDrawingGlTest, SquaresFaceTheViewerWhateverTheRotation) {
    RunningEmitter("0.5,0.5,0", "0,0,0", "0,0,0");
    glRotatef(90, 0, 1, 0);  // a square drawn in the x-y plane would now be edge-on
    manager_.DrawAll();
    ExpectNear(At(kSize / 2 + 4, kSize / 2 + 4), {191, 64, 64}, "the billboard turned the square to the viewer");
}

TEST_F(ParticleDrawingGlTest, TexturesTintTheSquare) {
    const unsigned char green[4] = {0, 255, 0, 255};
    glGenTextures(1, &texture_);
    glBindTexture(GL_TEXTURE_2D, texture_);
    glTexImage2D(GL_TEXTURE_2D, 0, 4, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, green);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    RunningEmitter("0.5,0.5,0", "0.5,0.5,0", "0.5,0.5,0");
    manager_.DrawAll();
    ExpectNear(At(kSize / 2, kSize / 2), {64, 191, 64}, "the green texture modulates the grey particle");
}

TEST_F(ParticleDrawingGlTest, StoppedEmittersAreNotDrawn) {
    int handle = RunningEmitter("1,1,0", "1,1,0", "1,1,0");
    manager_.StopEmitter(handle);
    manager_.DrawAll();
    ExpectNear(At(kSize / 2, kSize / 2), {64, 64, 64}, "a stopped emitter is not drawn");
}

TEST_F(ParticleDrawingGlTest, DrawingRestoresTheStateItChanged) {
    RunningEmitter("1,1,0", "1,1,0", "1,1,0");
    manager_.DrawAll();
    EXPECT_FALSE(glIsEnabled(GL_BLEND)) << "blending was off before";
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D)) << "texturing was off before";
    GLboolean depthWrites = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    EXPECT_TRUE(depthWrites) << "depth writes are on again";

    glEnable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    manager_.DrawAll();
    EXPECT_TRUE(glIsEnabled(GL_BLEND)) << "blending stays on when it was on";
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
}

}  // namespace
