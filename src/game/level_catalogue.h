#pragma once

#include <string>
#include <vector>

// One playable level: a directory under data/ holding exactly one level description
// file with a [general] section naming the level.
struct LevelEntry {
    std::string name;
    std::string directory;  // "data/<sub-directory>", no trailing separator
    std::string iniPath;    // directory + "/" + the description file's name
    int maxPlayers = 0;
    int crc = 0;
};

// Scans dataDirectory's sub-directories in listing order; directories whose names start
// with "." and plain files are never levels. Each rejected directory is skipped with a
// warning that names its fault.
std::vector<LevelEntry> LoadLevelList(const std::string& dataDirectory = "data");

// Fills `entry` from `directory` and says whether it is a playable level.
bool CheckLevelDirectory(const std::string& directory, LevelEntry& entry);
