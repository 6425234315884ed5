#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/ini_file.h"
#include "scene/draw_manager.h"
#include "support/report_capture.h"

namespace {

IniFile Ini(const std::string& text) {
    IniFile ini;
    ini.Parse(text);
    return ini;
}

std::vector<float> Values(const float* values, size_t count) { return std::vector<float>(values, values + count); }

const char* kThreeCameras =
    "[camera0]\nname=front\nloc=0,0,10\nlook_at=0,0,0\nup_dir=0,1,0\n"
    "[camera1]\nname=side\nloc=10,0,0\nlook_at=0,0,0\nup_dir=0,1,0\n"
    "[camera2]\nname=top\nloc=0,10,0\nlook_at=0,0,0\nup_dir=0,0,1\n";

const char* kLights =
    "[light0]\ntype=1\nloc=1,2,3\nambient=0.1,0.2,0.3\ndiffuse=1,1,1\nspecular=0.5,0.5,0.5\n"
    "[light1]\ntype=3\nloc=1,2,3\nambient=0,0,0\ndiffuse=0,0,0\nspecular=0,0,0\n"
    "[light2]\ntype=4\nloc=5,6,7\ndirection=0,0,-1\nangle_illumination=30\nexponent=2\n"
    "ambient=0,0,0\ndiffuse=1,0,0\nspecular=0,1,0\n"
    "[light3]\ntype=2\nloc=0,0,0,0\nambient=0,0,0\ndiffuse=1,1,1\nspecular=1,1,1\n";

TEST(CamerasFromIni, BadSectionsAreSkippedAndReadingStopsAtTheFirstMissingOne) {
    DrawManager scene;
    ReportCapture capture;
    ASSERT_TRUE(scene.LoadCamerasFromIni(Ini("[camera0]\nloc=1,2\nlook_at=0,0,0\nup_dir=0,1,0\n"
                                             "[camera1]\nloc=1,2,3\nlook_at=0,0\nup_dir=0,1,0\n"
                                             "[camera2]\nloc=1,2,3\nlook_at=0,0,0\nup_dir=x\n"
                                             "[camera3]\nname=good\nloc=1,2,3\nlook_at=4,5,6\nup_dir=0,1,0\n"
                                             "[camera5]\nname=c\nloc=1,2,3\nlook_at=4,5,6\nup_dir=0,1,0\n")));
    ASSERT_EQ(scene.Cameras().size(), 1u) << "camera5 must not be read without camera4";
    EXPECT_EQ(scene.Cameras()[0].name, "good");
    EXPECT_FLOAT_EQ(scene.Cameras()[0].lookAt.y, 5);
    EXPECT_EQ(scene.CurrentCamera(), 0);
    EXPECT_EQ(capture.Lines(), (std::vector<std::string>{"drw w Bad camera 0 location", "drw w Bad camera 1 look_at",
                                                         "drw w Bad camera 2 up_dir", "drw   1 camera(s) are set from ini"}));
    capture.Clear();
    EXPECT_FALSE(scene.LoadCamerasFromIni(Ini("[light0]\ntype=1\n")));
    EXPECT_EQ(scene.CurrentCamera(), -1);
    EXPECT_EQ(capture.Lines(), std::vector<std::string>{"drw E No cameras, should be at least one"});
}

TEST(CameraSelection, StepsWrapAroundOnlyPressesActAndTheListenerFollows) {
    DrawManager scene;
    std::vector<std::vector<float>> listener;
    scene.SetListenerHook([&](const float* position, const float* velocity, const float* orientation) {
        std::vector<float> call = Values(position, 3);
        for (float value : Values(velocity, 3)) call.push_back(value);
        for (float value : Values(orientation, 6)) call.push_back(value);
        listener.push_back(call);
    });
    scene.NextCamera();
    EXPECT_EQ(scene.CurrentCamera(), -1) << "steps without cameras do nothing";
    ASSERT_TRUE(scene.LoadCamerasFromIni(Ini(kThreeCameras)));
    scene.NextCamera();
    ASSERT_EQ(listener.size(), 2u) << "loading selects camera 0, the step selects camera 1";
    EXPECT_EQ(listener[1], (std::vector<float>{10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0}))
        << "position, no velocity, then the looked-at point and the up vector";
    scene.SelectCamera(2);
    scene.NextCamera();
    EXPECT_EQ(scene.CurrentCamera(), 0) << "next after the last wraps to the first";
    scene.PreviousCamera();
    EXPECT_EQ(scene.CurrentCamera(), 2) << "previous before the first wraps to the last";
    scene.SelectCamera(3);
    EXPECT_EQ(scene.CurrentCamera(), 2) << "an index past the list is ignored";
    scene.OnCameraCommand(DrawManager::kNextCameraCommand, false);
    EXPECT_EQ(scene.CurrentCamera(), 2) << "a release must not change the camera";
    scene.OnCameraCommand(DrawManager::kNextCameraCommand, true);
    EXPECT_EQ(scene.CurrentCamera(), 0);
}

TEST(LightsFromIni, KindsDecideThePositionsFourthValueAndUnknownTypesAreSkippedSilently) {
    DrawManager scene;
    ReportCapture capture;
    scene.LoadLightsFromIni(Ini(kLights));
    ASSERT_EQ(scene.Lights().size(), 3u);
    EXPECT_EQ(scene.Lights()[1].id, static_cast<uint32_t>(GL_LIGHT1)) << "the type-3 section takes no GL light";
    EXPECT_EQ(capture.Lines(), std::vector<std::string>{"drw   3 lights are set from ini"});
    const Light& directional = scene.Lights()[0];
    EXPECT_EQ(Values(directional.position, 4), (std::vector<float>{1, 2, 3, 0}));
    EXPECT_EQ(Values(directional.ambient, 4), (std::vector<float>{0.1f, 0.2f, 0.3f, 1})) << "colours get alpha 1";
    EXPECT_FLOAT_EQ(directional.cutoff, 180);
    const Light& spot = scene.Lights()[1];
    EXPECT_EQ(spot.type, kLightSpot);
    EXPECT_EQ(Values(spot.position, 4), (std::vector<float>{5, 6, 7, 1})) << "a spot with three loc values gets w 1";
    EXPECT_EQ(Values(spot.direction, 4), (std::vector<float>{0, 0, -1, 1}));
    EXPECT_FLOAT_EQ(spot.cutoff, 30);
    EXPECT_FLOAT_EQ(spot.exponent, 2);
    EXPECT_FLOAT_EQ(scene.Lights()[2].position[3], 1) << "a positional light has w 1 whatever loc says";

    DrawManager fourValues;
    fourValues.LoadLightsFromIni(Ini("[light0]\ntype=4\nloc=1,2,3,0\ndirection=0,1,0\nambient=0,0,0\n"
                                     "diffuse=0,0,0\nspecular=0,0,0\n"));
    EXPECT_FLOAT_EQ(fourValues.Lights().at(0).position[3], 0) << "a spot takes the fourth loc value when there is one";
}

TEST(LightsFromIni, BadSectionsAreSkippedWithTheirNumber) {
    DrawManager scene;
    ReportCapture capture;
    scene.LoadLightsFromIni(Ini("[light0]\ntype=1\nloc=1,2\n"
                                "[light1]\ntype=4\nloc=1,2,3\ndirection=1\n"
                                "[light2]\ntype=2\nloc=1,2,3\nambient=1,1,1\ndiffuse=1,1\nspecular=1,1,1\n"
                                "[light3]\ntype=2\nloc=1,2,3\nambient=1,1,1\ndiffuse=1,1,1\nspecular=1,1,1\n"));
    ASSERT_EQ(scene.Lights().size(), 1u);
    EXPECT_EQ(scene.Lights()[0].id, static_cast<uint32_t>(GL_LIGHT0));
    EXPECT_EQ(capture.Lines(), (std::vector<std::string>{"drw w Bad light 0 location", "drw w Bad light 1 direction",
                                                         "drw w Bad light 2 color", "drw   1 lights are set from ini"}));
}

TEST(CamerasAndLightsFromIni, SaveAndLoadGiveTheSameOnes) {
    DrawManager scene;
    ASSERT_TRUE(scene.LoadCamerasFromIni(Ini(kThreeCameras)));
    scene.LoadLightsFromIni(Ini(kLights));
    IniFile saved;
    scene.SaveCamerasToIni(saved);
    scene.SaveLightsToIni(saved);
    EXPECT_EQ(saved.GetString("camera2", "up_dir"), "0,0,1");
    EXPECT_EQ(saved.GetString("light1", "loc"), "5,6,7") << "loc is written with x, y and z only";
    EXPECT_FALSE(saved.HasKey("light0", "direction")) << "only spots write their direction";
    EXPECT_EQ(saved.GetString("light0", "ambient"), "0.1,0.2,0.3");

    DrawManager reloaded;
    ASSERT_TRUE(reloaded.LoadCamerasFromIni(saved));
    reloaded.LoadLightsFromIni(saved);
    IniFile savedAgain;
    reloaded.SaveCamerasToIni(savedAgain);
    reloaded.SaveLightsToIni(savedAgain);
    EXPECT_EQ(savedAgain.ToText(), saved.ToText()) << "what was saved loads back to the same cameras and lights";
}

CobLocalAxes Axes(Vec3 centre, Vec3 y, Vec3 z) {
    CobLocalAxes axes;
    axes.centre = centre;
    axes.xAxis = {1, 0, 0};
    axes.yAxis = y;
    axes.zAxis = z;
    return axes;
}

TEST(CamerasAndLightsFromCob, TheEyeAndTheSpotLookAlongTheLocalZAxis) {
    ReportCapture capture;
    CobCame record;
    record.localAxes = Axes({1, 2, 3}, {0, 0, 1}, {0, -1, 0});
    DrawManager scene;
    ASSERT_TRUE(scene.LoadCamerasFromCob(std::vector<CobCame>{record}));
    const Camera& camera = scene.Cameras().at(0);
    EXPECT_FLOAT_EQ(camera.location.x, 1);
    EXPECT_FLOAT_EQ(camera.lookAt.y, 1) << "look_at is the centre plus the z axis";
    EXPECT_FLOAT_EQ(camera.upDir.z, 1) << "up is the local y axis";
    EXPECT_FALSE(scene.LoadCamerasFromCob(std::vector<CobCame>{}));
    EXPECT_TRUE(capture.Contains("No cameras, should be at least one"));

    CobLght sun, unknown, spot;
    sun.lightType = 1;
    sun.localAxes = Axes({1, 2, 3}, {0, 1, 0}, {0, 0, 1});
    sun.red = 0.5f;
    unknown.lightType = 3;
    spot.lightType = 4;
    spot.localAxes = Axes({4, 5, 6}, {0, 1, 0}, {0, 0, -1});
    spot.spotCutoff = 25;
    scene.LoadLightsFromCob(std::vector<CobLght>{sun, unknown, spot});
    ASSERT_EQ(scene.Lights().size(), 2u) << "type 3 is not kept";
    const Light& first = scene.Lights()[0];
    EXPECT_EQ(Values(first.position, 4), (std::vector<float>{1, 2, 3, 0}));
    EXPECT_EQ(Values(first.specular, 4), (std::vector<float>{0.5f, 0, 0, 1}));
    const Light& cone = scene.Lights()[1];
    EXPECT_EQ(cone.id, static_cast<uint32_t>(GL_LIGHT1));
    EXPECT_EQ(Values(cone.position, 4), (std::vector<float>{4, 5, 6, 1}));
    EXPECT_EQ(Values(cone.direction, 4), (std::vector<float>{0, 0, -1, 1}));
    EXPECT_FLOAT_EQ(cone.cutoff, 25);
    EXPECT_FLOAT_EQ(cone.exponent, 6);
}

}  // namespace
