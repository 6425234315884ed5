#include "game/level_loader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "app/ini_file.h"
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
    "sound = shot\n{\n    file = shot.wav;\n}\n"
    "action = fire\n{\n    PlaySound = shot;\n}\n"
    "action = hit\n{\n    PlaySound = shot;\n    PlaySound = shot;\n}\n"
    "action = bul_moving\n{\n    LoopSound = shot;\n}\n";
const char* const kLevelScript =
    "sound = tune\n{\n    file = tune.wav;\n}\n"
    "action = start\n{\n    LoopSound = tune;\n}\n"
    "action = finish\n{\n    StopSound = tune;\n    PlaySound = tune;\n}\n";

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
        dir.Write("ship.scr", kShipScript);
        dir.Write("level.scr", kLevelScript);
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
    // The gme lines other than info lines.
    std::vector<std::string> GameProblems() const {
        std::vector<std::string> problems;
        for (const std::string& line : capture.Lines())
            if (line.rfind("gme", 0) == 0 && line.compare(4, 1, "I") != 0 && line.compare(4, 1, " ") != 0)
                problems.push_back(line);
        return problems;
    }

    HeadlessTextures textures;
    ReportCapture capture;
    TempDir dir;
    ModelManager models;
    PlayerManager players{models.SceneLock(), [] { return int64_t{0}; }};
    ScriptManager scripts{QuietEffects()};
    EventTrigger start;
    EventTrigger finish;
    LevelWorld world{models, players, scripts, start, finish};
    CobReader scene;
};

TEST_F(LevelLoaderTest, FileWayBuildsShipsObjectsScriptsAndViews) {
    ASSERT_TRUE(LoadIni(std::string(kPath) + "[level]\nscript=level.scr\n" +
                        Ship(0, "models/shipred.ms3d",
                             "ship_loc=4,0,0\nship_rot=0,0,90\nbullet_offset=0,-0.2,0.3\nbullet_rot=0,0,5\n"
                             "script=ship.scr\n") +
                        "[obj0]\nfile=models/pillar.ms3d\nloc=1,2,3\nrot=0,90,0\n[obj1]\nfile=models/none.cob\n"
                        "[obj2]\nfile=models/pillar.ms3d\n" +
                        kCamera + "[light0]\ntype=2\nloc=0,0,5,1\nambient=1,1,1\ndiffuse=1,1,1\nspecular=1,1,1\n"));
    ASSERT_EQ(players.PlayerCount(), 1u);
    Player& player = *players.FindPlayer(0);
    EXPECT_EQ(player.ship.model->location.x, 4.0f) << "ship_loc is added to the model's place";
    EXPECT_EQ(player.ship.model->rotation.z, 90.0f) << "ship_rot turns the ship";
    EXPECT_EQ(player.bullet_home_rotation.z, 5.0f) << "the bullet keeps its own bullet_rot";
    EXPECT_FLOAT_EQ(player.bullet_home_position.z, 0.3f);
    EXPECT_EQ(player.ship.hit.Size(), 2u) << "the ship script binds its events";
    EXPECT_TRUE(player.ship.accelerate.Empty()) << "an event the script leaves out binds nothing";
    EXPECT_EQ(finish.Size(), 2u) << "the level script binds start and finish";
    EXPECT_EQ(models.Objects().size(), 4u) << "two ship parts and two objects";
    EXPECT_EQ(models.Objects()[2]->model.rotation.y, 90.0f);
    EXPECT_TRUE(capture.Contains("Bad object 1"));
    EXPECT_TRUE(capture.Contains("Loaded 3 objects from ini file"));
    EXPECT_EQ(models.Cameras().size() + models.Lights().size(), 2u);
    EXPECT_EQ(players.PlacePlayers(), 1) << "the ship stands on point 1";
}

// A missing MS3D file still makes an (empty) model; a missing COB file makes none.
TEST_F(LevelLoaderTest, FileWayFaults) {
    std::string badPath = kPath;
    badPath.replace(badPath.find("point1_nb=-1,2,-1,0"), 19, "point1_nb=-1,2");
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
        {kPath + Ship(0, "models/gone.cob") + kCamera, false, 0, "no ship, no level"},
        {ship0 + kCamera, false, 0, "no path, no level, and nothing more is loaded"},
        {badPath + ship0 + kCamera, false, 0, "a bad path line"},
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
            EXPECT_EQ(GameProblems(), std::vector<std::string>{}) << "a skipped ship says nothing";
        }
    }
}

// ---- the scene way ----------------------------------------------------------

constexpr int32_t kTrackGroup = 5;
constexpr int32_t kLevelGroup = 10;
constexpr int32_t kShipGroup = 20;

ByteWriter Body(const CobPolHSpec& polh) {
    ByteWriter w;
    WriteCobPolH(w, polh, 4);
    return w;
}

CobPolHSpec PlacedSquare(const std::string& name, float x, float y, float z) {
    CobPolHSpec polh = CobSquare(name);
    polh.matrix[3] = x;
    polh.matrix[7] = y;
    polh.matrix[11] = z;
    return polh;
}

ByteWriter Group(const std::string& name, float x, float y) {
    ByteWriter w;
    const float centre[3] = {x, y, 0};
    WriteCobObjectStart(w, name, 0, centre);
    return w;
}

ByteWriter Note(const std::string& text) {
    ByteWriter w;
    w.Name(text);
    return w;
}

ByteWriter Curve(const std::vector<CobVertex>& points) {
    ByteWriter w;
    WriteCobNCur(w, "path", 1, 4, points);
    return w;
}

// An L of anchors (0,0) (8,0) (8,8) with their handles.
const std::vector<CobVertex> kLPath = {{0, 0, 0}, {2, 1, 0}, {6, 1, 0}, {8, 0, 0}, {9, 2, 0}, {9, 6, 0}, {8, 8, 0}};

struct SceneLayout {
    int curves;
    bool levelGroup, bullet, shipNote;
};

std::string Scene(const SceneLayout& layout) {
    CobFileBuilder file;
    int32_t id = 100;
    file.Chunk("Grou", 0, 1, kTrackGroup, 0, Group("Track", 0, 0));
    for (int i = 0; i < layout.curves; ++i) file.Chunk("NCur", 0, 2, id++, kTrackGroup, Curve(kLPath));
    file.Chunk("Note", 0, 1, id++, kTrackGroup, Note(kLevelScript));
    if (layout.levelGroup) file.Chunk("Grou", 0, 1, kLevelGroup, 0, Group("Level floor", 0, 0));
    file.Chunk("PolH", 0, 4, id++, kLevelGroup, Body(PlacedSquare("floor", 0, 0, -1)));
    file.Chunk("PolH", 0, 4, id++, 0, Body(PlacedSquare("Level rock", 3, 3, 0)));
    file.Chunk("Grou", 0, 1, kShipGroup, 0, Group("LoadedShip1", 8, 0));
    file.Chunk("PolH", 0, 4, id++, kShipGroup, Body(PlacedSquare("Ship hull", 1, 1, 0)));
    if (layout.bullet) file.Chunk("PolH", 0, 4, id++, kShipGroup, Body(PlacedSquare("Bullet", 1.5f, 1, 0.25f)));
    if (layout.shipNote) file.Chunk("Note", 0, 1, id++, kShipGroup, Note(kShipScript));
    ByteWriter camera;
    WriteCobCame(camera, "eye", kCobStandardCamera);
    file.Chunk("Came", 0, 2, id++, 0, camera);
    ByteWriter light;
    WriteCobLght(light, "sun", 0, 2, 0, 1, 1, 1, 180);
    file.Chunk("Lght", 0, 0, id++, 0, light);
    file.End();
    return file.Bytes();
}

TEST_F(LevelLoaderTest, SceneWayTakesPathObjectsShipsAndScriptsFromTheScene) {
    ASSERT_TRUE(LoadScene(Scene({1, true, true, true})));
    ASSERT_EQ(players.Path().Points().size(), 3u);
    EXPECT_EQ(start.Size(), 1u) << "the note beside the curve is the level script";
    ASSERT_EQ(players.PlayerCount(), 1u);
    Player& player = *players.FindPlayer(0);
    EXPECT_EQ(player.ship.model->location.x, 8.0f) << "the ship stands where its group does";
    EXPECT_FLOAT_EQ(player.bullet_home_position.x, 0.5f) << "the bullet is placed relative to the ship";
    EXPECT_EQ(player.fire.Size(), 1u) << "the note in the ship's group is its script";
    ASSERT_EQ(models.Objects().size(), 3u) << "the Level group's member and the ship's two parts";
    EXPECT_EQ(models.Objects()[0]->model.name, "floor");
    EXPECT_EQ(models.Cameras().size() + models.Lights().size(), 2u);
    EXPECT_EQ(players.PlacePlayers(), 1);
}

TEST_F(LevelLoaderTest, SceneWayFaults) {
    struct Case {
        SceneLayout layout;
        bool loads;
        size_t players, points;
        const char* logged;
    } cases[] = {
        {{2, true, true, true}, true, 1, 0, "There should be only one nurbs curve in the level"},
        {{1, true, false, true}, false, 0, 3, "Ship LoadedShip1 does not have all objects"},
        {{1, true, true, false}, true, 1, 3, "Ship LoadedShip1 does not have sounds"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.logged);
        players.Clear();
        models.Clear();
        start.Clear();
        capture.Clear();
        EXPECT_EQ(LoadScene(Scene(c.layout)), c.loads);
        EXPECT_TRUE(capture.Contains(c.logged)) << capture.Joined();
        EXPECT_EQ(players.PlayerCount(), c.players);
        EXPECT_EQ(players.Path().Points().size(), c.points) << "two curves make no path";
        if (c.points == 0) {
            EXPECT_TRUE(start.Empty()) << "no path, no level script";
        }
    }
    EXPECT_TRUE(players.FindPlayer(0)->fire.Empty()) << "a ship without a note has no sounds";
}

TEST_F(LevelLoaderTest, SceneWithoutLevelGroupTakesObjectsByName) {
    ASSERT_TRUE(LoadScene(Scene({1, false, true, true})));
    ASSERT_EQ(models.Objects().size(), 3u);
    EXPECT_EQ(models.Objects()[0]->model.name, "Level rock");
}

}  // namespace
