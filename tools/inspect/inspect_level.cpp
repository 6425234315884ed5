#include "inspect_level.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <vector>

#include "base/clock.h"
#include "base/ini_file.h"
#include "base/report.h"
#include "effects/particle_system_manager.h"
#include "effects/script_manager.h"
#include "effects/sound_manager.h"
#include "game/game_manager.h"
#include "game/level_loader.h"
#include "game/player.h"
#include "game/player_manager.h"
#include "scene/cob_reader.h"
#include "scene/model_manager.h"
#include "scene/texture_manager.h"

namespace fs = std::filesystem;

namespace {

ReportValue Text(const std::string& value) { return ReportValue::Text(value); }
ReportValue Integer(int64_t value) { return ReportValue::Integer(value); }
ReportValue Count(size_t value) { return ReportValue::Integer(static_cast<int64_t>(value)); }
ReportValue Position(const Vec3& v) { return ReportValue::Vector(v.x, v.y, v.z); }

// What a level load borrows: the inspector's textures and particles, and a sound
// manager on OpenAL Soft's silent device, so that sounds are decoded as the game decodes
// them without a sound device and a file that is no sound is still found out. Should even
// that device fail, its error line fails the level.
struct InspectorServices {
    explicit InspectorServices(const std::string& fileDirectory) : textures(fileDirectory) {
        setenv("ALSOFT_DRIVERS", "null", 1);
        sound.Init();
        particles.Init();
        particles.SetTextureLoader([this](const std::string& path) { return textures.GetTextureWithAlpha(path); });
    }
    EffectServices Lend() { return {sound, particles, textures}; }

    SoundManager sound;
    ParticleSystemManager particles;
    InspectorTextures textures;
};

bool Readable(const std::string& path) {
    std::error_code error;
    if (!fs::is_regular_file(path, error)) return false;
    return std::ifstream(path, std::ios::binary).good();
}

constexpr char kReadByTheGame[] = "read by the game";

// Every file the description names, checked before the game tries it: the game skips
// some of them (a ship whose model is gone) without a word.
class FileCheck {
public:
    explicit FileCheck(std::string directory) : directory_(std::move(directory)) {}

    void File(const IniFile& ini, const std::string& section, const std::string& key) {
        if (!ini.HasKey(section, key)) return;
        const std::string path = directory_ + "/" + ini.GetString(section, key);
        if (!Readable(path)) Missing(path, "[" + section + "] " + key);
    }
    void Directory(const IniFile& ini, const std::string& section, const std::string& key) {
        const std::string path = directory_ + "/" + ini.GetString(section, key);
        std::error_code error;
        if (!fs::is_directory(path, error)) Missing(path, "[" + section + "] " + key);
    }
    // The game skips some files without a word; the problems list names them too.
    void Missing(const std::string& path, const std::string& why) {
        if (!seen_.insert(path).second) return;
        list_.Push(Text(path + " (" + why + ")"));
        if (why != kReadByTheGame)
            Report(LogModule::kGame, LogLevel::kError, "Missing file %s (%s)", path.c_str(), why.c_str());
    }
    // Files the game itself found missing on the way, from its log lines.
    void FromProblems(const std::vector<std::string>& problems) {
        static const char* const kMissingPrefixes[] = {
            "error: File does not exist: ", "error: Texture file does not exist ",
            "error: Could not open input file: ", "error: Failed to load "};
        for (const std::string& problem : problems)
            for (const char* prefix : kMissingPrefixes)
                if (problem.rfind(prefix, 0) == 0)
                    Missing(problem.substr(std::char_traits<char>::length(prefix)), kReadByTheGame);
    }
    ReportValue List() const { return list_; }
    bool Empty() const { return seen_.empty(); }

private:
    std::string directory_;
    std::set<std::string> seen_;
    ReportValue list_ = ReportValue::List();
};

void CheckDescribedFiles(const IniFile& ini, FileCheck& files) {
    files.Directory(ini, "level", "texture_path");
    files.File(ini, "level", "level_scene");
    files.File(ini, "level", "script");
    for (int n = 0; ini.HasSection("ship" + std::to_string(n)); ++n) {
        const std::string section = "ship" + std::to_string(n);
        for (const char* key : {"ship_file", "bullet_file", "script"}) files.File(ini, section, key);
    }
    for (int n = 0; ini.HasSection("obj" + std::to_string(n)); ++n) files.File(ini, "obj" + std::to_string(n), "file");
}

ReportValue CatalogueEntry(const LevelEntry& entry) {
    ReportValue value = ReportValue::Object();
    value.Set("name", Text(entry.name))
        .Set("directory", Text(entry.directory))
        .Set("description", Text(entry.iniPath))
        .Set("maxPlayers", Integer(entry.maxPlayers))
        .Set("crc", Integer(entry.crc));
    return value;
}

std::string Neighbour(int32_t index) { return index < 0 ? "-" : std::to_string(index); }

std::string Coordinate(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
    return text;
}

ReportValue PathReport(const PathGraph& path) {
    // One line per point: where it is and its neighbours up, right, down and left.
    ReportValue points = ReportValue::List();
    for (const PathPoint& point : path.Points()) {
        const Vec3& at = point.position;
        points.Push(Text(std::to_string(point.index) + " at " + Coordinate(at.x) + "," + Coordinate(at.y) + "," +
                         Coordinate(at.z) + "; up " + Neighbour(point.up_index) + ", right " +
                         Neighbour(point.right_index) + ", down " + Neighbour(point.down_index) + ", left " +
                         Neighbour(point.left_index)));
    }
    ReportValue edges = ReportValue::List();
    for (const PathEdge& edge : path.Edges())
        edges.Push(Text(std::to_string(edge.index) + ": " + std::to_string(edge.from->index) + " -> " +
                        std::to_string(edge.to->index)));
    ReportValue value = ReportValue::Object();
    value.Set("pointCount", Count(path.Points().size()))
        .Set("edgeCount", Count(path.Edges().size()))
        .Set("points", std::move(points))
        .Set("edges", std::move(edges));
    return value;
}

// The events of a trigger list that have actions bound, with how many.
ReportValue BoundEvents(const std::vector<std::pair<const char*, const EventTrigger*>>& triggers) {
    ReportValue bound = ReportValue::Object();
    for (const auto& [event, trigger] : triggers)
        if (!trigger->Empty()) bound.Set(event, Count(trigger->Size()));
    return bound;
}

ReportValue ShipsReport(PlayerManager& players) {
    ReportValue ships = ReportValue::List();
    for (size_t id = 0; id < players.PlayerCount(); ++id) {
        Player& player = *players.FindPlayer(static_cast<int>(id));
        ReportValue ship = ReportValue::Object();
        ship.Set("player", Count(id))
            .Set("ship", Text(player.ship.model->name))
            .Set("bullet", Text(player.bullet.model->name))
            .Set("placed", ReportValue::Bool(player.placed));
        if (player.placed && player.ship.edge != nullptr) {
            const PathEdge& edge = *player.ship.edge;
            ship.Set("at", Position(player.ship.position))
                .Set("startEdge", Text(std::to_string(edge.index) + ": " + std::to_string(edge.from->index) + " -> " +
                                       std::to_string(edge.to->index)));
        } else {
            ship.Set("at", Position(player.ship.model->location));
        }
        const Ship& s = player.ship;
        ship.Set("events", BoundEvents({{kShipEvents[0], &player.fire},
                                        {kShipEvents[1], &player.loaded},
                                        {kShipEvents[2], &s.moving},
                                        {kShipEvents[3], &s.hit},
                                        {kShipEvents[4], &s.accelerate},
                                        {kShipEvents[5], &s.slowdown},
                                        {kShipEvents[6], &s.collision},
                                        {kShipEvents[7], &player.bullet.moving}}));
        ships.Push(std::move(ship));
    }
    return ships;
}

// Static objects: every model that is not a ship's or a bullet's.
ReportValue ObjectsReport(ModelManager& models, PlayerManager& players) {
    std::set<const Model*> shipParts;
    for (size_t id = 0; id < players.PlayerCount(); ++id) {
        const Player& player = *players.FindPlayer(static_cast<int>(id));
        shipParts.insert(player.ship.model);
        shipParts.insert(player.bullet.model);
    }
    ReportValue objects = ReportValue::List();
    for (const auto& object : models.Objects()) {
        if (shipParts.count(&object->model) != 0) continue;
        ReportValue entry = ReportValue::Object();
        entry.Set("name", Text(object->model.name))
            .Set("at", Position(object->model.location))
            .Set("triangles", Count(object->model.triangles.size()));
        objects.Push(std::move(entry));
    }
    return objects;
}

ReportValue CamerasReport(const DrawManager& scene) {
    ReportValue cameras = ReportValue::List();
    for (const Camera& camera : scene.Cameras()) {
        ReportValue entry = ReportValue::Object();
        entry.Set("name", Text(camera.name))
            .Set("at", Position(camera.location))
            .Set("lookAt", Position(camera.lookAt));
        cameras.Push(std::move(entry));
    }
    return cameras;
}

const char* LightKind(int16_t type) {
    switch (type) {
        case kLightDirectional: return "directional";
        case kLightPositional: return "positional";
        case kLightSpot: return "spot";
        default: return "unknown";
    }
}

ReportValue LightsReport(const DrawManager& scene) {
    ReportValue lights = ReportValue::List();
    for (const Light& light : scene.Lights()) {
        ReportValue entry = ReportValue::Object();
        entry.Set("type", Text(LightKind(light.type)))
            .Set("position", Position(Vec3{light.position[0], light.position[1], light.position[2]}));
        lights.Push(std::move(entry));
    }
    return lights;
}

ReportValue ScriptSources(const IniFile& ini) {
    ReportValue sources = ReportValue::Object();
    if (ini.HasKey("level", "level_scene")) {
        sources.Set("from", Text("notes of the scene " + ini.GetString("level", "level_scene")));
        return sources;
    }
    if (ini.HasKey("level", "script")) sources.Set("level", Text(ini.GetString("level", "script")));
    for (int n = 0; ini.HasSection("ship" + std::to_string(n)); ++n) {
        const std::string section = "ship" + std::to_string(n);
        if (ini.HasKey(section, "script")) sources.Set(section, Text(ini.GetString(section, "script")));
    }
    return sources;
}

std::string WithoutTrailingSlash(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

Inspection InspectLevel(const std::string& directory, const LevelEntry& entry, LogWatch& watch) {
    Inspection inspection;
    ReportValue& details = inspection.details;
    details.Set("level", Text(directory)).Set("kind", Text("level")).Set("catalogue", CatalogueEntry(entry));

    IniFile ini(entry.iniPath);
    ini.Load();
    details.Set("describedBy",
                Text(ini.HasKey("level", "level_scene") ? "scene " + ini.GetString("level", "level_scene")
                                                        : "description file"));
    FileCheck files(entry.directory);
    CheckDescribedFiles(ini, files);

    InspectorServices services(entry.directory);
    GameManager game(services.Lend(), NowMs);
    game.SetCurrentLevel(entry);
    try {
        inspection.loads = game.LoadLevel();
        if (!inspection.loads)
            inspection.reason = !watch.Problems().empty() ? watch.Problems().back() : "the level does not load";
    } catch (const FatalStop& stop) {
        inspection.loads = false;
        inspection.reason = "the game would stop: " + stop.message;
    }
    files.FromProblems(watch.Problems());
    // A load writes what it built beside the level, as the game does.
    const bool wroteSaved = inspection.loads;
    SettleVerdict(inspection, watch);
    details.Set("path", PathReport(game.Players().Path()))
        .Set("ships", ShipsReport(game.Players()))
        .Set("objects", ObjectsReport(game.Models(), game.Players()))
        .Set("cameras", CamerasReport(game.Models()))
        .Set("lights", LightsReport(game.Models()))
        .Set("scripts", ScriptSources(ini))
        .Set("levelEvents", BoundEvents({{"start", &game.StartTrigger()}, {"finish", &game.FinishTrigger()}}))
        .Set("missingFiles", files.List());
    if (wroteSaved) details.Set("saved", Text(entry.directory + "/saved.ini.all"));
    return inspection;
}

// The menu background: its scene (default.scn) with every polyhedron as a model, its
// lights and cameras, and its script (default.scr) with the "start" event.
Inspection InspectMenuBackground(const std::string& directory, LogWatch& watch) {
    Inspection inspection;
    ReportValue& details = inspection.details;
    details.Set("level", Text(directory)).Set("kind", Text("menu background"));
    FileCheck files(directory);
    InspectorServices services(directory);
    services.textures.SetTexturePath(directory + "/texture");
    ModelManager models(services.textures);
    ScriptManager scripts(services.Lend());
    EventTrigger start;
    try {
        CobReader scene;
        const std::string scenePath = directory + "/default.scn";
        inspection.loads = scene.Load(scenePath);
        if (inspection.loads) {
            for (const CobPolH& polyhedron : scene.Polyhedra()) models.BuildModel(scene, polyhedron);
            models.LoadLightsFromCob(scene);
            inspection.loads = models.LoadCamerasFromCob(scene);
        } else {
            files.Missing(scenePath, "menu scene");
        }
        scripts.SetDataDirectory(directory);
        const std::string scriptPath = directory + "/default.scr";
        if (scripts.ReadScriptFile("", scriptPath))
            scripts.BindEvent("start", start);
        else
            files.Missing(scriptPath, "menu script");
        if (!inspection.loads)
            inspection.reason = !watch.Problems().empty() ? watch.Problems().back() : "the menu scene does not load";
    } catch (const FatalStop& stop) {
        inspection.loads = false;
        inspection.reason = "the game would stop: " + stop.message;
    }
    files.FromProblems(watch.Problems());
    SettleVerdict(inspection, watch);
    ReportValue objects = ReportValue::List();
    for (const auto& object : models.Objects()) objects.Push(Text(object->model.name));
    details.Set("objects", std::move(objects))
        .Set("cameras", CamerasReport(models))
        .Set("lights", LightsReport(models))
        .Set("levelEvents", BoundEvents({{"start", &start}}))
        .Set("missingFiles", files.List());
    return inspection;
}

}  // namespace

Inspection InspectLevelDirectory(const std::string& path) {
    const std::string directory = WithoutTrailingSlash(path);
    LogWatch watch;
    LevelEntry entry;
    Inspection inspection;
    std::error_code error;
    if (CheckLevelDirectory(directory, entry)) {
        inspection = InspectLevel(directory, entry, watch);
    } else if (fs::exists(directory + "/default.scn", error)) {
        inspection = InspectMenuBackground(directory, watch);
    } else {
        inspection.reason =
            watch.Problems().empty() ? "no level description file (*.ini) in the directory" : watch.Problems().back();
        inspection.details.Set("level", Text(directory))
            .Set("kind", Text("level"))
            .Set("loads", ReportValue::Bool(false))
            .Set("error", Text(inspection.reason));
    }
    inspection.details.Set("problems", watch.ProblemList());
    return inspection;
}
