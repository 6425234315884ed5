#include "game/level_loader.h"

#include <vector>

#include "base/ini_file.h"
#include "base/report.h"
#include "effects/event_trigger.h"
#include "effects/script_manager.h"
#include "game/level_path.h"
#include "game/player.h"
#include "game/player_manager.h"
#include "scene/cob_reader.h"
#include "scene/model_manager.h"

namespace {

std::string Numbered(const char* prefix, int n) { return prefix + std::to_string(n); }

bool StartsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

// Adds the vector under `key`, when the section has it, to `value`.
void AddVector(const IniFile& ini, const std::string& section, const char* key, Vec3& value) {
    if (!ini.HasKey(section, key)) return;
    Vec3 offset;
    ScanVector(ini.GetString(section, key), offset);
    value = {value.x + offset.x, value.y + offset.y, value.z + offset.z};
}

void BindLevelEvents(LevelWorld& world) {
    world.scripts.BindEvent("start", world.start);
    world.scripts.BindEvent("finish", world.finish);
}

bool BuildPath(const std::vector<PathPoint>& points, PlayerManager& players) {
    return !points.empty() && players.BuildPath(points);
}

// One [ship%d] section; a ship whose models do not load is left out without a word.
void LoadIniShip(const IniFile& ini, const std::string& directory, const std::string& section, LevelWorld& world) {
    ModelObject* ship = world.models.LoadModelFile(directory + "/" + ini.GetString(section, "ship_file"));
    ModelObject* bullet = world.models.LoadModelFile(directory + "/" + ini.GetString(section, "bullet_file"));
    if (ship == nullptr || bullet == nullptr) return;
    AddVector(ini, section, "ship_loc", ship->model.location);
    AddVector(ini, section, "bullet_offset", bullet->model.location);
    AddVector(ini, section, "bullet_rot", bullet->model.rotation);
    AddVector(ini, section, "ship_rot", ship->model.rotation);
    Player* player = world.players.AddPlayer(&ship->model, &bullet->model);
    if (player == nullptr || !ini.HasKey(section, "script")) return;
    if (world.scripts.ReadScriptFile(section, directory + "/" + ini.GetString(section, "script")))
        BindShipEvents(world.scripts, *player);
}

void LoadIniObjects(const IniFile& ini, const std::string& directory, ModelManager& models) {
    int n = 0;
    for (; ini.HasSection(Numbered("obj", n)); ++n) {
        const std::string section = Numbered("obj", n);
        ModelObject* object = models.LoadModelFile(directory + "/" + ini.GetString(section, "file"));
        if (object == nullptr) {
            Report(LogModule::kGame, LogLevel::kWarning, "Bad object %d", n);
            continue;
        }
        AddVector(ini, section, "loc", object->model.location);
        AddVector(ini, section, "rot", object->model.rotation);
    }
    Report(LogModule::kGame, LogLevel::kInfo, "Loaded %d objects from ini file", n);
}

const CobNote* NoteOf(const CobReader& scene, int32_t parentId) {
    for (const CobNote& note : scene.Notes())
        if (note.parentId == parentId) return &note;
    return nullptr;
}

const CobPolH* MemberNamed(const CobReader& scene, int32_t groupId, const char* prefix) {
    for (const CobPolH& polyhedron : scene.Polyhedra())
        if (polyhedron.parentId == groupId && StartsWith(polyhedron.name, prefix)) return &polyhedron;
    return nullptr;
}

void LoadScenePath(const CobReader& scene, LevelWorld& world) {
    if (scene.Curves().size() != 1) {
        Report(LogModule::kGame, LogLevel::kError, "There should be only one nurbs curve in the level");
        return;
    }
    const CobNCur& curve = scene.Curves().front();
    if (!BuildPath(PathFromCurve(curve), world.players)) return;
    const CobNote* note = NoteOf(scene, curve.parentId);
    if (note == nullptr) {
        Report(LogModule::kGame, LogLevel::kInfo, "Level does not have scripts defined");
        return;
    }
    if (world.scripts.ReadScriptText("", note->name)) BindLevelEvents(world);
}

// The children of the "Level" group, or, in a scene without one, every polyhedron
// whose own name begins with "Level".
void LoadSceneObjects(const CobReader& scene, ModelManager& models) {
    std::vector<int32_t> levelGroups;
    for (const CobGrou& group : scene.Groups())
        if (StartsWith(group.name, "Level")) levelGroups.push_back(group.id);
    for (const CobPolH& polyhedron : scene.Polyhedra()) {
        bool isLevelObject = false;
        for (int32_t id : levelGroups) isLevelObject = isLevelObject || polyhedron.parentId == id;
        if (levelGroups.empty()) isLevelObject = StartsWith(polyhedron.name, "Level");
        if (isLevelObject) models.BuildModel(scene, polyhedron);
    }
}

void MoveTo(CobPolH& polyhedron, const Vec3& location) {
    polyhedron.positionMatrix.rows[0][3] = location.x;
    polyhedron.positionMatrix.rows[1][3] = location.y;
    polyhedron.positionMatrix.rows[2][3] = location.z;
}

Vec3 LocationOf(const CobPolH& polyhedron) {
    const auto& rows = polyhedron.positionMatrix.rows;
    return {rows[0][3], rows[1][3], rows[2][3]};
}

void LoadSceneShip(const CobReader& scene, const CobGrou& group, LevelWorld& world) {
    const CobPolH* shipPart = MemberNamed(scene, group.id, "Ship");
    const CobPolH* bulletPart = MemberNamed(scene, group.id, "Bullet");
    if (shipPart == nullptr || bulletPart == nullptr) {
        Report(LogModule::kGame, LogLevel::kError, "Ship %s does not have all objects", group.name.c_str());
        return;
    }
    Report(LogModule::kGame, LogLevel::kInfo, "Loading plyaer: %s", group.name.c_str());
    // The bullet rides on the ship, so its place is taken relative to the ship's; the
    // ship stands where its group does.
    CobPolH shipRecord = *shipPart;
    CobPolH bulletRecord = *bulletPart;
    const Vec3 shipLocation = LocationOf(shipRecord);
    const Vec3 bulletLocation = LocationOf(bulletRecord);
    MoveTo(bulletRecord, Vec3{bulletLocation.x - shipLocation.x, bulletLocation.y - shipLocation.y,
                              bulletLocation.z - shipLocation.z});
    MoveTo(shipRecord, group.localAxes.centre);
    ModelObject* ship = world.models.BuildModel(scene, shipRecord);
    ModelObject* bullet = world.models.BuildModel(scene, bulletRecord);
    if (ship == nullptr || bullet == nullptr) return;
    Player* player = world.players.AddPlayer(&ship->model, &bullet->model);
    if (player == nullptr) return;
    const CobNote* note = NoteOf(scene, group.id);
    if (note == nullptr) {
        Report(LogModule::kGame, LogLevel::kInfo, "Ship %s does not have sounds", group.name.c_str());
        return;
    }
    if (world.scripts.ReadScriptText(group.name, note->name)) BindShipEvents(world.scripts, *player);
}

}  // namespace

void BindShipEvents(ScriptManager& scripts, Player& player) {
    Ship& ship = player.ship;
    const Vec3* shipPosition = &ship.model->location;
    EventTrigger* const shipTriggers[] = {&player.fire,     &player.loaded, &ship.moving,   &ship.hit,
                                          &ship.accelerate, &ship.slowdown, &ship.collision};
    static_assert(sizeof(shipTriggers) / sizeof(shipTriggers[0]) + 1 == sizeof(kShipEvents) / sizeof(kShipEvents[0]),
                  "every ship event but the bullet's has a ship trigger");
    for (size_t i = 0; i < sizeof(shipTriggers) / sizeof(shipTriggers[0]); ++i)
        scripts.BindEvent(kShipEvents[i], *shipTriggers[i], shipPosition, &ship.rotation, &ship.velocity);
    Bullet& bullet = player.bullet;
    scripts.BindEvent("bul_moving", bullet.moving, &bullet.model->location, &bullet.rotation, &bullet.velocity);
}

bool LoadLevelFromIni(const IniFile& ini, const std::string& directory, LevelWorld& world) {
    Report(LogModule::kGame, LogLevel::kInfo, "Loading from ini");
    if (!BuildPath(ReadPathFromIni(ini), world.players)) return false;

    if (ini.HasKey("level", "script") &&
        world.scripts.ReadScriptFile("", directory + "/" + ini.GetString("level", "script")))
        BindLevelEvents(world);

    int shipSections = 0;
    for (; ini.HasSection(Numbered("ship", shipSections)); ++shipSections)
        LoadIniShip(ini, directory, Numbered("ship", shipSections), world);
    Report(LogModule::kGame, LogLevel::kInfo, "Loaded %d ships from ini file", shipSections);
    if (world.players.PlayerCount() == 0) return false;

    LoadIniObjects(ini, directory, world.models);
    world.models.LoadLightsFromIni(ini);
    return world.models.LoadCamerasFromIni(ini);
}

bool LoadLevelFromScene(const CobReader& scene, LevelWorld& world) {
    LoadScenePath(scene, world);
    LoadSceneObjects(scene, world.models);
    for (const CobGrou& group : scene.Groups())
        if (StartsWith(group.name, "LoadedShip")) LoadSceneShip(scene, group, world);
    if (world.players.PlayerCount() == 0) return false;
    world.models.LoadLightsFromCob(scene);
    return world.models.LoadCamerasFromCob(scene);
}

bool SaveBuiltLevel(const PlayerManager& players, const ModelManager& models, const std::string& path) {
    IniFile saved(path);
    players.SavePath(saved);
    models.SaveCamerasToIni(saved);
    models.SaveLightsToIni(saved);
    return saved.Save();
}
