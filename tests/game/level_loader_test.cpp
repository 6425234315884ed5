#include "game/level_loader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "base/ini_file.h"
#include "effects/script_manager.h"
#include "game/level_test_support.h"
#include "game/player.h"
#include "game/player_manager.h"
#include "scene/cob_reader.h"
#include "scene/file_builders.h"
#include "scene/model_manager.h"
#include "support/report_capture.h"
#include "support/temp_dir.h"

namespace {

const char* const kShipScript =
    "sound = shot\n{\n    file = shot.wav;\n}\naction = fire\n{\n    PlaySound = shot;\n}\n";
const char* const kLevelScript =
    "sound = tune\n{\n    file = tune.wav;\n}\naction = start\n{\n    LoopSound = tune;\n}\n";

// A line of three path points along x, 4 apart, from (0,0) to (8,0).
const char* const kPath =
    "[path]\npoint0=0,0,0\npoint1=4,0,0\npoint2=8,0,0\n"
    "point0_nb=-1,1,-1,-1\npoint1_nb=-1,2,-1,0\npoint2_nb=-1,-1,-1,1\n";
const char* const kCamera = "[camera0]\nname=Top\nloc=0,0,10\nlook_at=0,0,0\nup_dir=0,1,0\n";

std::string Ship(int n, const std::string& shipFile, const std::string& extra = "") {
    return "[ship" + std::to_string(n) + "]\nship_file=" + shipFile + "\nbullet_file=models/bulletred.ms3d\n" + extra;
}

class LevelLoaderTest : public ::testing::Test {
protected:
    LevelLoaderTest() {
        std::filesystem::create_directories(dir.File("models"));
        for (const char* model : {"shipred.ms3d", "bulletred.ms3d", "pillar.ms3d"})
            std::filesystem::copy_file(std::string("data/crossroads/models/") + model, dir.File("models/") + model);
    }

    bool LoadIni(const std::string& text) {
        IniFile ini;
        ini.Parse(text);
        return LoadLevelFromIni(ini, dir.Path(), world);
    }
    bool LoadScene(const std::string& bytes) {
        if (!scene.LoadFromMemory(bytes.data(), bytes.size(), "level.cob")) return false;
        return LoadLevelFromScene(scene, world);
    }
    QuietServices services;
    ReportCapture capture;
    TempDir dir;
    ModelManager models{services.textures};
    PlayerManager players{[] { return int64_t{0}; }};
    ScriptManager scripts{services.Lend()};
    EventTrigger start;
    EventTrigger finish;
    LevelWorld world{models, players, scripts, start, finish};
    CobReader scene;
};

// Scripts, views and the ships' start places of a whole file-way level are what the
// content suite checks on the shipped Crossroads and Twin Orbit.
TEST_F(LevelLoaderTest, FileWayBuildsShipsAndObjects) {
    ASSERT_TRUE(LoadIni(std::string(kPath) +
                        Ship(0, "models/shipred.ms3d", "ship_loc=4,0,0\nbullet_offset=0,-0.2,0.3\n") +
                        "[obj0]\nfile=models/pillar.ms3d\n[obj1]\nfile=models/none.cob\n"
                        "[obj2]\nfile=models/pillar.ms3d\n" +
                        kCamera));
    ASSERT_EQ(players.PlayerCount(), 1u);
    Player& player = *players.FindPlayer(0);
    EXPECT_EQ(player.ship.model->location.x, 4.0f) << "ship_loc is added to the model's place";
    EXPECT_FLOAT_EQ(player.bullet_home_position.z, 0.3f) << "bullet_offset places the bullet on the ship";
    EXPECT_EQ(models.Objects().size(), 4u) << "two ship parts and two objects";
    EXPECT_TRUE(capture.Contains("Bad object 1"));
}

// A missing MS3D file still makes an (empty) model; a missing COB file makes none.
TEST_F(LevelLoaderTest, FileWayFaults) {
    const std::string ship0 = Ship(0, "models/shipred.ms3d");
    struct Case {
        std::string ini;
        bool loads;
        size_t players;
        const char* rule;
    } cases[] = {
        {kPath + ship0 + Ship(2, "models/shipred.ms3d") + kCamera, true, 1, "ship sections stop at the first gap"},
        {kPath + Ship(0, "models/gone.cob") + Ship(1, "models/shipred.ms3d") + kCamera, true, 1,
         "a ship whose model is missing is left out silently"},
        {ship0 + kCamera, false, 0, "no path, no level, and nothing more is loaded"},
        {kPath + ship0, false, 1, "a level needs a camera"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rule);
        players.Clear();
        models.Clear();
        capture.Clear();
        EXPECT_EQ(LoadIni(c.ini), c.loads);
        EXPECT_EQ(players.PlayerCount(), c.players);
        if (c.loads) {
            const std::string log = capture.Joined();
            EXPECT_TRUE(log.find("gme w") == log.npos && log.find("gme E") == log.npos)
                << "a skipped ship says nothing";
        }
    }
}

// ---- the scene way ----------------------------------------------------------

// A Track group with the path curve(s) (an L through (0,0) (8,0) (8,8)) and the level
// script, ship LoadedShip1 and a camera.
std::string Scene(int curves, bool bullet) {
    const int32_t track = 5, ship = 20;
    int32_t id = 100;
    CobFileBuilder file;
    const auto group = [&](const std::string& name, int32_t groupId) {
        ByteWriter w;
        const float centre[3] = {0, 0, 0};
        WriteCobObjectStart(w, name, 0, centre);
        file.Chunk("Grou", 0, 1, groupId, 0, w);
    };
    const auto note = [&](const std::string& text, int32_t parent) {
        ByteWriter w;
        w.Name(text);
        file.Chunk("Note", 0, 1, id++, parent, w);
    };
    const auto shipPart = [&](const std::string& name) {
        ByteWriter w;
        WriteCobPolH(w, CobSquare(name), 4);
        file.Chunk("PolH", 0, 4, id++, ship, w);
    };
    group("Track", track);
    for (int i = 0; i < curves; ++i) {
        ByteWriter w;
        WriteCobNCur(w, "path", 1, 4, {{0, 0, 0}, {2, 1, 0}, {6, 1, 0}, {8, 0, 0}, {9, 2, 0}, {9, 6, 0}, {8, 8, 0}});
        file.Chunk("NCur", 0, 2, id++, track, w);
    }
    note(kLevelScript, track);
    group("LoadedShip1", ship);
    shipPart("Ship hull");
    if (bullet) shipPart("Bullet");
    note(kShipScript, ship);
    ByteWriter camera;
    WriteCobCame(camera, "eye", kCobStandardCamera);
    file.Chunk("Came", 0, 2, id++, 0, camera);
    file.End();
    return file.Bytes();
}

// A whole scene-way level is what the shipped scene levels are; these are its faults.
TEST_F(LevelLoaderTest, SceneWayFaultsLeaveOutWhatIsWrongAndLoadTheRest) {
    struct Case {
        int curves;
        bool bullet;
        size_t players, points;
        const char* logged;
        const char* rule;
    } cases[] = {
        {2, true, 1, 0, "There should be only one nurbs curve in the level",
         "two curves make no path and no level script, but the rest loads"},
        {1, false, 0, 3, "Ship LoadedShip1 does not have all objects",
         "the curve is the path and the note beside it the level script; a ship without a bullet is left out"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rule);
        players.Clear();
        models.Clear();
        start.Clear();
        capture.Clear();
        EXPECT_EQ(LoadScene(Scene(c.curves, c.bullet)), c.players > 0);
        EXPECT_TRUE(capture.Contains(c.logged)) << capture.Joined();
        EXPECT_EQ(players.PlayerCount(), c.players);
        EXPECT_EQ(players.Path().Points().size(), c.points);
        EXPECT_EQ(start.Empty(), c.points == 0);
    }
}

}  // namespace
