// Particles drawn into a small window of their own and read back; needs a display.
#include <gtest/gtest.h>

#include "effects/particle_system_manager.h"
#include "particle_test_support.h"
#include "support/gl_window.h"
#include "support/report_capture.h"

namespace {

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
        manager_.SetTextureLoader([](const std::string&) { return 0u; });
        ASSERT_TRUE(manager_.Init());
    }

    ReportCapture log_;
    ParticleSystemManager manager_;
};

TEST_F(ParticleDrawingGlTest, ParticlesAddTheirColourFacingTheViewerAndRestoreTheState) {
    // One particle of half-size 0.25 at the origin.
    manager_.RestartEmitter(manager_.AddEmitter(
        StillEmitter({{"size", "0.25,0.25,0"}, {"red", "0.5,0.5,0"}, {"green", "0,0,0"}, {"blue", "0.25,0.25,0"}})));
    const int coveringAll = manager_.AddEmitter(StillEmitter({{"size", "1,1,0"}}));
    manager_.RestartEmitter(coveringAll);
    manager_.StopEmitter(coveringAll);
    glRotatef(90, 0, 1, 0);  // a square drawn in the x-y plane would now be edge-on
    manager_.DrawAll();

    EXPECT_PRED3(PixelNear, At(kSize / 2 + 4, kSize / 2 + 4), (Pixel{191, 64, 128}), 6)
        << "the billboard adds the particle onto the grey background";
    EXPECT_PRED3(PixelNear, At(2, 2), (Pixel{64, 64, 64}), 6)
        << "outside the square, and a stopped emitter, draw nothing";
    EXPECT_FALSE(glIsEnabled(GL_BLEND)) << "blending was off before";
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D)) << "texturing was off before";
    GLboolean depthWrites = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    EXPECT_TRUE(depthWrites) << "depth writes are on again";
}

}  // namespace
