#pragma once

#include <string>

class CobReader;
class EventTrigger;
class IniFile;
class ModelManager;
class PlayerManager;
class ScriptManager;
struct Player;

// The parts of the game a level load fills.
struct LevelWorld {
    ModelManager& models;
    PlayerManager& players;
    ScriptManager& scripts;
    EventTrigger& start;
    EventTrigger& finish;
};

// A level described by its file alone: path, ships, objects, level script, lights and
// cameras. Files are named relative to `directory`. True when the level can be played.
bool LoadLevelFromIni(const IniFile& ini, const std::string& directory, LevelWorld& world);

// A level whose path, ships, objects, scripts, lights and cameras come from a scene.
bool LoadLevelFromScene(const CobReader& scene, LevelWorld& world);

// Writes the path, cameras and lights the level was built with as a description file
// ("saved.ini.all" in the level directory), so a scene level can become a file level.
bool SaveBuiltLevel(const PlayerManager& players, const ModelManager& models, const std::string& path);

// The events a ship's script binds to its player's triggers, in binding order.
constexpr const char* kShipEvents[] = {"fire",       "loaded",   "moving",    "hit",
                                       "accelerate", "slowdown", "collision", "bul_moving"};

// Binds the eight ship events of the script just read to the player's triggers.
void BindShipEvents(ScriptManager& scripts, Player& player);
