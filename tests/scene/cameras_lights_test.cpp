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

const char* kThreeCameras =
    "[camera0]\nname=front\nloc=0,0,10\nlook_at=0,0,0\nup_dir=0,1,0\n"
    "[camera1]\nname=side\nloc=10,0,0\nlook_at=0,0,0\nup_dir=0,1,0\n"
    "[camera2]\nname=top\nloc=0,10,0\nlook_at=0,0,0\nup_dir=0,0,1\n";

struct ListenerCall {
    float position[3], velocity[3], orientation[6];
};

TEST(CamerasFromIni, ReadUntilTheFirstMissingSection) {
    DrawManager scene;
    ReportCapture capture;
    ASSERT_TRUE(scene.LoadCamerasFromIni(Ini(
        "[camera0]\nname=a\nloc=1,2,3\nlook_at=4,5,6\nup_dir=0,1,0\n"
        "[camera2]\nname=c\nloc=1,2,3\nlook_at=4,5,6\nup_dir=0,1,0\n")));
    ASSERT_EQ(scene.Cameras().size(), 1u) << "camera2 must not be read without camera1";
    const Camera& camera = scene.Cameras()[0];
    EXPECT_EQ(camera.name, "a");
    EXPECT_FLOAT_EQ(camera.location.z, 3);
    EXPECT_FLOAT_EQ(camera.lookAt.x, 4);
    EXPECT_FLOAT_EQ(camera.upDir.y, 1);
    EXPECT_EQ(scene.CurrentCamera(), 0);
    EXPECT_TRUE(capture.Contains("1 camera(s) are set from ini"));
}

TEST(CamerasFromIni, BadVectorsSkipTheSectionWithAWarning) {
    DrawManager scene;
    ReportCapture capture;
    ASSERT_TRUE(scene.LoadCamerasFromIni(Ini(
        "[camera0]\nloc=1,2\nlook_at=0,0,0\nup_dir=0,1,0\n"
        "[camera1]\nloc=1,2,3\nlook_at=0,0\nup_dir=0,1,0\n"
        "[camera2]\nloc=1,2,3\nlook_at=0,0,0\nup_dir=x\n"
        "[camera3]\nname=good\nloc=1,2,3\nlook_at=0,0,0\nup_dir=0,1,0\n")));
    ASSERT_EQ(scene.Cameras().size(), 1u);
    EXPECT_EQ(scene.Cameras()[0].name, "good");
    EXPECT_EQ(capture.Lines(), (std::vector<std::string>{"drw w Bad camera 0 location", "drw w Bad camera 1 look_at",
                                                         "drw w Bad camera 2 up_dir",
                                                         "drw   1 camera(s) are set from ini"}));
}

TEST(CamerasFromIni, NoCameraIsAnError) {
    DrawManager scene;
    ReportCapture capture;
    EXPECT_FALSE(scene.LoadCamerasFromIni(Ini("[light0]\ntype=1\n")));
    EXPECT_EQ(scene.CurrentCamera(), -1);
    EXPECT_EQ(capture.Lines(), std::vector<std::string>{"drw E No cameras, should be at least one"});
}

TEST(CameraSelection, StepsWrapAroundAndOnlyPressesAct) {
    DrawManager scene;
    scene.NextCamera();
    scene.PreviousCamera();
    scene.SelectCamera(0);
    EXPECT_EQ(scene.CurrentCamera(), -1) << "steps without cameras do nothing";
    ASSERT_TRUE(scene.LoadCamerasFromIni(Ini(kThreeCameras)));
    scene.NextCamera();
    EXPECT_EQ(scene.CurrentCamera(), 1);
    scene.SelectCamera(2);
    scene.NextCamera();
    EXPECT_EQ(scene.CurrentCamera(), 0) << "next after the last wraps to the first";
    scene.PreviousCamera();
    EXPECT_EQ(scene.CurrentCamera(), 2) << "previous before the first wraps to the last";
    scene.SelectCamera(3);
    scene.SelectCamera(-1);
    EXPECT_EQ(scene.CurrentCamera(), 2) << "an index past the list is ignored";

    scene.OnCameraCommand(DrawManager::kNextCameraCommand, false);
    EXPECT_EQ(scene.CurrentCamera(), 2) << "a release must not change the camera";
    scene.OnCameraCommand(DrawManager::kNextCameraCommand, true);
    EXPECT_EQ(scene.CurrentCamera(), 0);
    scene.OnCameraCommand(DrawManager::kPreviousCameraCommand, true);
    EXPECT_EQ(scene.CurrentCamera(), 2);
}

TEST(CameraSelection, ApplyingACameraMovesTheListenerToIt) {
    DrawManager scene;
    std::vector<ListenerCall> calls;
    scene.SetListenerHook([&](const float* position, const float* velocity, const float* orientation) {
        ListenerCall call;
        std::copy(position, position + 3, call.position);
        std::copy(velocity, velocity + 3, call.velocity);
        std::copy(orientation, orientation + 6, call.orientation);
        calls.push_back(call);
    });
    ASSERT_TRUE(scene.LoadCamerasFromIni(Ini(kThreeCameras)));
    scene.NextCamera();
    ASSERT_EQ(calls.size(), 2u) << "loading selects camera 0, the step selects camera 1";
    const ListenerCall& call = calls[1];
    EXPECT_EQ(std::vector<float>(call.position, call.position + 3), (std::vector<float>{10, 0, 0}));
    EXPECT_EQ(std::vector<float>(call.velocity, call.velocity + 3), (std::vector<float>{0, 0, 0}));
    EXPECT_EQ(std::vector<float>(call.orientation, call.orientation + 6), (std::vector<float>{0, 0, 0, 0, 1, 0}))
        << "orientation is the looked-at point, then the up vector";
}

TEST(CamerasFromIni, SaveAndLoadGiveTheSameCameras) {
    DrawManager scene;
    ASSERT_TRUE(scene.LoadCamerasFromIni(Ini(kThreeCameras)));
    IniFile saved;
    scene.SaveCamerasToIni(saved);
    EXPECT_EQ(saved.GetString("camera2", "up_dir"), "0,0,1");
    EXPECT_EQ(saved.GetString("camera1", "loc"), "10,0,0");

    DrawManager reloaded;
    ASSERT_TRUE(reloaded.LoadCamerasFromIni(saved));
    ASSERT_EQ(reloaded.Cameras().size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(reloaded.Cameras()[i].name, scene.Cameras()[i].name);
        EXPECT_FLOAT_EQ(reloaded.Cameras()[i].location.x, scene.Cameras()[i].location.x);
        EXPECT_FLOAT_EQ(reloaded.Cameras()[i].upDir.z, scene.Cameras()[i].upDir.z);
    }
}

const char* kLights =
    "[light0]\ntype=1\nloc=1,2,3\nambient=0.1,0.2,0.3\ndiffuse=1,1,1\nspecular=0.5,0.5,0.5\n"
    "[light1]\ntype=3\nloc=1,2,3\nambient=0,0,0\ndiffuse=0,0,0\nspecular=0,0,0\n"
    "[light2]\ntype=4\nloc=5,6,7\ndirection=0,0,-1\nangle_illumination=30\nexponent=2\n"
    "ambient=0,0,0\ndiffuse=1,0,0\nspecular=0,1,0\n"
    "[light3]\ntype=2\nloc=0,0,0,0\nambient=0,0,0\ndiffuse=1,1,1\nspecular=1,1,1\n";

TEST(LightsFromIni, KindsDecideThePositionsFourthValueAndUnknownTypesAreSkippedSilently) {
    DrawManager scene;
    ReportCapture capture;
    scene.LoadLightsFromIni(Ini(kLights));
    ASSERT_EQ(scene.Lights().size(), 3u);
    EXPECT_EQ(scene.Lights()[0].id, static_cast<uint32_t>(GL_LIGHT0));
    EXPECT_EQ(scene.Lights()[1].id, static_cast<uint32_t>(GL_LIGHT1)) << "the type-3 section takes no GL light";
    EXPECT_EQ(scene.Lights()[2].id, static_cast<uint32_t>(GL_LIGHT2));
    EXPECT_EQ(capture.Lines(), std::vector<std::string>{"drw   3 lights are set from ini"});
    const Light& directional = scene.Lights()[0];
    EXPECT_FLOAT_EQ(directional.position[3], 0);
    EXPECT_FLOAT_EQ(directional.cutoff, 180);
    EXPECT_FLOAT_EQ(directional.ambient[2], 0.3f);
    EXPECT_FLOAT_EQ(directional.ambient[3], 1) << "colours get alpha 1";
    const Light& spot = scene.Lights()[1];
    EXPECT_EQ(spot.type, kLightSpot);
    EXPECT_FLOAT_EQ(spot.position[3], 1) << "a spot with three loc values gets w 1";
    EXPECT_FLOAT_EQ(spot.direction[2], -1);
    EXPECT_FLOAT_EQ(spot.direction[3], 1);
    EXPECT_FLOAT_EQ(spot.cutoff, 30);
    EXPECT_FLOAT_EQ(spot.exponent, 2);
    const Light& positional = scene.Lights()[2];
    EXPECT_FLOAT_EQ(positional.position[3], 1) << "a positional light has w 1 whatever loc says";
    EXPECT_FLOAT_EQ(positional.direction[3], 0);

    DrawManager fourValues;
    fourValues.LoadLightsFromIni(Ini("[light0]\ntype=4\nloc=1,2,3,0\ndirection=0,1,0\nambient=0,0,0\n"
                                     "diffuse=0,0,0\nspecular=0,0,0\n"));
    ASSERT_EQ(fourValues.Lights().size(), 1u);
    EXPECT_FLOAT_EQ(fourValues.Lights()[0].position[3], 0) << "a spot takes the fourth loc value when there is one";
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
    EXPECT_EQ(capture.Lines(),
              (std::vector<std::string>{"drw w Bad light 0 location", "drw w Bad light 1 direction",
                                        "drw w Bad light 2 color", "drw   1 lights are set from ini"}));
}

TEST(LightsFromIni, SaveAndLoadGiveTheSameLights) {
    DrawManager scene;
    scene.LoadLightsFromIni(Ini(kLights));
    IniFile saved;
    scene.SaveLightsToIni(saved);
    EXPECT_EQ(saved.GetString("light1", "loc"), "5,6,7") << "loc is written with x, y and z only";
    EXPECT_EQ(saved.GetString("light1", "angle_illumination"), "30");
    EXPECT_FALSE(saved.HasKey("light0", "direction")) << "only spots write their direction";
    EXPECT_EQ(saved.GetString("light0", "ambient"), "0.1,0.2,0.3");

    DrawManager reloaded;
    reloaded.LoadLightsFromIni(saved);
    ASSERT_EQ(reloaded.Lights().size(), scene.Lights().size());
    for (size_t i = 0; i < scene.Lights().size(); ++i) {
        const Light& a = scene.Lights()[i];
        const Light& b = reloaded.Lights()[i];
        EXPECT_EQ(a.id, b.id);
        EXPECT_EQ(a.type, b.type);
        EXPECT_EQ(std::vector<float>(a.position, a.position + 4), std::vector<float>(b.position, b.position + 4));
        EXPECT_EQ(std::vector<float>(a.direction, a.direction + 4), std::vector<float>(b.direction, b.direction + 4));
        EXPECT_EQ(std::vector<float>(a.specular, a.specular + 4), std::vector<float>(b.specular, b.specular + 4));
        EXPECT_FLOAT_EQ(a.cutoff, b.cutoff);
        EXPECT_FLOAT_EQ(a.exponent, b.exponent);
    }
}


CobLocalAxes Axes(Vec3 centre, Vec3 y, Vec3 z) {
    CobLocalAxes axes;
    axes.centre = centre;
    axes.xAxis = {1, 0, 0};
    axes.yAxis = y;
    axes.zAxis = z;
    return axes;
}

TEST(CamerasFromCob, EyeAtTheCentreLookingAlongTheLocalZAxis) {
    ReportCapture capture;
    CobCame record;
    record.name = "Camera 1";
    record.localAxes = Axes({1, 2, 3}, {0, 0, 1}, {0, -1, 0});
    DrawManager scene;
    ASSERT_TRUE(scene.LoadCamerasFromCob(std::vector<CobCame>{record}));
    const Camera& camera = scene.Cameras().at(0);
    EXPECT_EQ(camera.name, "Camera 1");
    EXPECT_FLOAT_EQ(camera.location.x, 1);
    EXPECT_FLOAT_EQ(camera.lookAt.y, 1) << "look_at is the centre plus the z axis";
    EXPECT_FLOAT_EQ(camera.lookAt.z, 3);
    EXPECT_FLOAT_EQ(camera.upDir.z, 1) << "up is the local y axis";
    EXPECT_EQ(scene.CurrentCamera(), 0);
    EXPECT_TRUE(capture.Contains("1 camera(s) are set"));

    EXPECT_FALSE(scene.LoadCamerasFromCob(std::vector<CobCame>{}));
    EXPECT_TRUE(capture.Contains("No cameras, should be at least one"));
    EXPECT_EQ(scene.CurrentCamera(), -1);
}

TEST(LightsFromCob, KindsAndTheSpotAlongItsLocalZAxis) {
    ReportCapture capture;
    CobLght sun, unknown, bulb, spot;
    sun.lightType = 1;
    sun.localAxes = Axes({1, 2, 3}, {0, 1, 0}, {0, 0, 1});
    sun.red = 0.5f;
    unknown.lightType = 3;
    bulb.lightType = 2;
    spot.lightType = 4;
    spot.localAxes = Axes({4, 5, 6}, {0, 1, 0}, {0, 0, -1});
    spot.spotCutoff = 25;
    spot.green = 0.25f;
    DrawManager scene;
    scene.LoadLightsFromCob(std::vector<CobLght>{sun, unknown, bulb, spot});
    ASSERT_EQ(scene.Lights().size(), 3u) << "type 3 is not kept";
    EXPECT_TRUE(capture.Contains("3 lights are set from cob"));

    const Light& first = scene.Lights()[0];
    EXPECT_EQ(std::vector<float>(first.position, first.position + 4), (std::vector<float>{1, 2, 3, 0}));
    EXPECT_EQ(std::vector<float>(first.ambient, first.ambient + 4), (std::vector<float>{0.5f, 0, 0, 1}));
    EXPECT_EQ(std::vector<float>(first.specular, first.specular + 4), (std::vector<float>{0.5f, 0, 0, 1}));
    EXPECT_FLOAT_EQ(first.cutoff, 180);
    EXPECT_EQ(scene.Lights()[1].id, static_cast<uint32_t>(GL_LIGHT1));
    EXPECT_FLOAT_EQ(scene.Lights()[1].position[3], 1);

    const Light& cone = scene.Lights()[2];
    EXPECT_EQ(cone.id, static_cast<uint32_t>(GL_LIGHT2));
    EXPECT_EQ(std::vector<float>(cone.position, cone.position + 4), (std::vector<float>{4, 5, 6, 1}));
    EXPECT_EQ(std::vector<float>(cone.direction, cone.direction + 4), (std::vector<float>{0, 0, -1, 1}));
    EXPECT_FLOAT_EQ(cone.cutoff, 25);
    EXPECT_FLOAT_EQ(cone.exponent, 6);
    EXPECT_FLOAT_EQ(cone.diffuse[1], 0.25f);
}

}  // namespace
