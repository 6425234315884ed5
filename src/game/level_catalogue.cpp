#include "game/level_catalogue.h"

#include <filesystem>
#include <system_error>

#include "base/ini_file.h"
#include "base/report.h"

namespace fs = std::filesystem;

namespace {

bool EndsWithIni(const std::string& name) { return name.size() >= 4 && name.compare(name.size() - 4, 4, ".ini") == 0; }

// The description files of a directory, in listing order; stops after two, which is
// already one too many.
std::vector<std::string> FindIniFiles(const std::string& directory) {
    std::vector<std::string> found;
    std::error_code error;
    for (fs::directory_iterator it(directory, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (!EndsWithIni(name)) continue;
        found.push_back(name);
        if (found.size() == 2) break;
    }
    return found;
}

}  // namespace

bool CheckLevelDirectory(const std::string& directory, LevelEntry& entry) {
    const std::vector<std::string> iniFiles = FindIniFiles(directory);
    if (iniFiles.empty()) return false;
    const std::string iniPath = directory + "/" + iniFiles[0];
    if (iniFiles.size() > 1) {
        Report(LogModule::kGame, LogLevel::kWarning, "%s has multiple ini files, skipped", directory.c_str());
        return false;
    }
    IniFile ini;
    ini.SetFileName(iniPath);
    if (!ini.Load()) {
        Report(LogModule::kGame, LogLevel::kWarning, "%s could not be read", iniPath.c_str());
        return false;
    }
    if (!ini.HasSection("general")) {
        Report(LogModule::kGame, LogLevel::kWarning, "%s does not have general as a first section", iniPath.c_str());
        return false;
    }
    if (!ini.HasKey("general", "level_name")) {
        Report(LogModule::kGame, LogLevel::kWarning, "%s does not have level name defined in section \"general\"",
               iniPath.c_str());
        return false;
    }
    entry.directory = directory;
    entry.name = ini.GetString("general", "level_name");
    entry.iniPath = iniPath;
    entry.maxPlayers = ini.GetInt("general", "max_players");
    entry.crc = ini.GetInt("general", "crc");
    return true;
}

std::vector<LevelEntry> LoadLevelList(const std::string& dataDirectory) {
    std::vector<LevelEntry> levels;
    std::error_code error;
    fs::directory_iterator it(dataDirectory, error);
    if (error || it == fs::directory_iterator()) {
        Report(LogModule::kGame, LogLevel::kWarning, "No levels to play");
        return levels;
    }
    for (fs::directory_iterator end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        std::error_code typeError;
        if (name.empty() || name[0] == '.' || !it->is_directory(typeError)) continue;
        LevelEntry entry;
        if (CheckLevelDirectory(dataDirectory + "/" + name, entry)) levels.push_back(entry);
    }
    return levels;
}
