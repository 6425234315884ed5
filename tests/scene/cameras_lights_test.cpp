#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/ini_file.h"
#include "scene/draw_manager.h"
#include "support/report_capture.h"

namespace {

IniFile Ini(const std::string& text) {
    IniFile ini;
    ini.Parse(text);
    return ini;
}

std::vector<float> Values(const float* values, size_t count) { return std::vector<float>(values, values + count); }

TEST(CamerasFromIni, BadSectionsAreSkippedAndReadingStopsAtTheFirstMissingOne) {
    DrawManager scene;
    ReportCapture capture;
    ASSERT_TRUE(
        scene.LoadCamerasFromIni(Ini("[camera0]\nloc=1,2\nlook_at=0,0,0\nup_dir=0,1,0\n"
                                     "[camera1]\nloc=1,2,3\nlook_at=0,0\nup_dir=0,1,0\n"
                                     "[camera2]\nloc=1,2,3\nlook_at=0,0,0\nup_dir=x\n"
                                     "[camera3]\nname=good\nloc=1,2,3\nlook_at=4,5,6\nup_dir=0,1,0\n"
                                     "[camera5]\nname=c\nloc=1,2,3\nlook_at=4,5,6\nup_dir=0,1,0\n")));
    ASSERT_EQ(scene.Cameras().size(), 1u) << "camera5 must not be read without camera4";
    EXPECT_EQ(scene.Cameras()[0].name, "good");
    EXPECT_EQ(capture.Lines(),
              (std::vector<std::string>{"drw w Bad camera 0 location", "drw w Bad camera 1 look_at",
                                        "drw w Bad camera 2 up_dir", "drw   1 camera(s) are set from ini"}));
    capture.Clear();
    EXPECT_FALSE(scene.LoadCamerasFromIni(Ini("[light0]\ntype=1\n")));
    EXPECT_EQ(capture.Lines(), std::vector<std::string>{"drw E No cameras, should be at least one"});
}

TEST(CameraSelection, StepsWrapAroundOnlyPressesActAndTheListenerFollows) {
    DrawManager scene;
    std::vector<float> listener;
    scene.SetListenerHook([&](const float* position, const float* velocity, const float* orientation) {
        listener = Values(position, 3);
        listener.insert(listener.end(), velocity, velocity + 3);
        listener.insert(listener.end(), orientation, orientation + 6);
    });
    ASSERT_TRUE(
        scene.LoadCamerasFromIni(Ini("[camera0]\nloc=0,0,10\nlook_at=0,0,0\nup_dir=0,1,0\n"
                                     "[camera1]\nloc=10,0,0\nlook_at=0,0,0\nup_dir=0,1,0\n")));
    scene.NextCamera();
    EXPECT_EQ(listener, (std::vector<float>{10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0}))
        << "position, no velocity, then the looked-at point and the up vector";
    scene.NextCamera();
    EXPECT_EQ(scene.CurrentCamera(), 0) << "next after the last wraps to the first";
    scene.PreviousCamera();
    EXPECT_EQ(scene.CurrentCamera(), 1) << "previous before the first wraps to the last";
    scene.OnCameraCommand(DrawManager::kNextCameraCommand, false);
    EXPECT_EQ(scene.CurrentCamera(), 1) << "a release must not change the camera";
    scene.OnCameraCommand(DrawManager::kNextCameraCommand, true);
    EXPECT_EQ(scene.CurrentCamera(), 0);
}

TEST(LightsFromIni, KindsDecideThePositionsFourthValueAndBadOrUnknownSectionsAreSkipped) {
    DrawManager scene;
    ReportCapture capture;
    scene.LoadLightsFromIni(
        Ini("[light0]\ntype=1\nloc=1,2,3\nambient=0,0,0\ndiffuse=1,1,1\nspecular=1,1,1\n"
            "[light1]\ntype=3\nloc=1,2,3\nambient=0,0,0\ndiffuse=0,0,0\nspecular=0,0,0\n"
            "[light2]\ntype=4\nloc=5,6,7\ndirection=0,0,-1\nangle_illumination=30\n"
            "ambient=0,0,0\ndiffuse=1,0,0\nspecular=0,1,0\n"
            "[light3]\ntype=2\nloc=0,0,0,0\nambient=0,0,0\ndiffuse=1,1,1\nspecular=1,1,1\n"
            "[light4]\ntype=4\nloc=1,2,3\ndirection=1\n"
            "[light5]\ntype=2\nloc=1,2,3\nambient=1,1,1\ndiffuse=1,1\nspecular=1,1,1\n"));
    ASSERT_EQ(scene.Lights().size(), 3u);
    EXPECT_EQ(scene.Lights()[1].id, static_cast<uint32_t>(GL_LIGHT1)) << "the type-3 section takes no GL light";
    EXPECT_EQ(capture.Lines(), (std::vector<std::string>{"drw w Bad light 4 direction", "drw w Bad light 5 color",
                                                         "drw   3 lights are set from ini"}));
    EXPECT_EQ(Values(scene.Lights()[0].position, 4), (std::vector<float>{1, 2, 3, 0})) << "a directional light has w 0";
    EXPECT_EQ(Values(scene.Lights()[1].position, 4), (std::vector<float>{5, 6, 7, 1}))
        << "a spot with three loc values gets w 1";
    EXPECT_FLOAT_EQ(scene.Lights()[2].position[3], 1) << "a positional light has w 1 whatever loc says";
}

TEST(CamerasAndLightsFromIni, SaveAndLoadGiveTheSameOnes) {
    IniFile saved, savedAgain;
    saved.Parse(
        "[camera0]\nname=top\nloc=0,10,0\nlook_at=0,0,0\nup_dir=0,0,1\n[light0]\ntype=4\nloc=5,6,7\n"
        "direction=0,0,-1\nangle_illumination=30\nexponent=2\nambient=0.1,0.2,0.3\ndiffuse=1,0,0\nspecular=0,1,0\n");
    for (IniFile* ini : {&saved, &savedAgain}) {  // load what the previous round saved, then save it again
        DrawManager scene;
        ASSERT_TRUE(scene.LoadCamerasFromIni(saved));
        scene.LoadLightsFromIni(saved);
        *ini = IniFile();
        scene.SaveCamerasToIni(*ini);
        scene.SaveLightsToIni(*ini);
    }
    EXPECT_EQ(savedAgain.ToText(), saved.ToText()) << "what was saved loads back to the same cameras and lights";
}

TEST(CamerasAndLightsFromCob, TheEyeAndTheSpotLookAlongTheLocalZAxis) {
    ReportCapture capture;
    CobCame record;
    record.localAxes = {{1, 2, 3}, {1, 0, 0}, {0, 0, 1}, {0, -1, 0}};  // centre, then the x, y and z axes
    DrawManager scene;
    ASSERT_TRUE(scene.LoadCamerasFromCob(std::vector<CobCame>{record}));
    EXPECT_FLOAT_EQ(scene.Cameras().at(0).lookAt.y, 1) << "look_at is the centre plus the z axis";
    EXPECT_FLOAT_EQ(scene.Cameras()[0].upDir.z, 1) << "up is the local y axis";

    CobLght unknown, spot;
    unknown.lightType = 3;
    spot.lightType = 4;
    spot.localAxes = {{4, 5, 6}, {1, 0, 0}, {0, 1, 0}, {0, 0, -1}};
    spot.red = 0.5f;
    scene.LoadLightsFromCob(std::vector<CobLght>{unknown, spot});
    ASSERT_EQ(scene.Lights().size(), 1u) << "type 3 is not kept";
    const Light& cone = scene.Lights()[0];
    EXPECT_EQ(Values(cone.specular, 4), (std::vector<float>{0.5f, 0, 0, 1})) << "the colour lights all three";
    EXPECT_EQ(Values(cone.direction, 4), (std::vector<float>{0, 0, -1, 1})) << "a spot shines along local z";
}

}  // namespace
