#include "inspection.h"

#include <filesystem>
#include <memory>
#include <strings.h>

#include "base/ini_file.h"
#include "base/report.h"
#include "scene/texture_manager.h"

namespace {

constexpr size_t kTimePrefixLength = 9;    // "hh:mm:ss "
constexpr size_t kTagAndMarkerLength = 6;  // "mod E "

thread_local std::string fatalMessage;

void StopOnFatal() { throw FatalStop{fatalMessage}; }

// Counts the textures the game would make, without GL.
class DecodeOnlyUploader : public TextureUploader {
public:
    uint32_t Upload(const BmpImage&, bool, const std::string&) override { return ++lastName_; }
    void Delete(uint32_t) override {}

private:
    uint32_t lastName_ = 0;
};

bool StartsWith(const std::string& text, const char* start) { return text.rfind(start, 0) == 0; }

bool EndsWith(const std::string& text, const char* ending) {
    const size_t length = std::char_traits<char>::length(ending);
    return text.size() >= length && text.compare(text.size() - length, length, ending) == 0;
}

// The game's warnings that mean a part of the level is left out, as the text before
// and after the file or object name.
struct LeftOut {
    const char* start;
    const char* end;
};
constexpr LeftOut kLeftOutWarnings[] = {
    {"Failed to load ", ""},
    {"Unsupported file format of ", ""},
    {"No faceso in ", ""},
    {"No poly was found in ", ""},
    {"More then one poly found loaded only first from ", ""},
    {"Bad object ", ""},
    {"Face of ", " refers to a missing vertex"},
    {"Sound ", " is missing file location"},
    {"Ini does not have path information", ""},
    {"", " has multiple ini files, skipped"},
    {"", " could not be read"},
    {"", " does not have general as a first section"},
    {"", " does not have level name defined in section \"general\""},
};

bool LeavesSomethingOut(const std::string& message) {
    for (const LeftOut& warning : kLeftOutWarnings)
        if (StartsWith(message, warning.start) && EndsWith(message, warning.end)) return true;
    return false;
}

const char* ProblemKind(LogLevel level, const std::string& message) {
    if (level == LogLevel::kFatal) return "fatal: ";
    if (level == LogLevel::kError || LeavesSomethingOut(message)) return "error: ";
    return "warning: ";
}

bool EndsWithNoCase(const std::string& text, const char* ending) {
    const size_t length = std::char_traits<char>::length(ending);
    return text.size() >= length && strcasecmp(text.c_str() + text.size() - length, ending) == 0;
}

// The level description of a directory: its one *.ini file, or "" when it has none or several.
std::string LevelDescription(const std::string& directory) {
    std::string found;
    std::error_code error;
    for (std::filesystem::directory_iterator it(directory, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.size() < 4 || name.compare(name.size() - 4, 4, ".ini") != 0) continue;
        if (!found.empty()) return "";
        found = directory + "/" + name;
    }
    return found;
}

// Where the game takes the textures of a file from: the texture_path of the level the
// file belongs to (its own directory or one above), "texture" under the menu
// background's directory, else the file's own directory.
std::string TextureDirectoryFor(const std::string& fileDirectory) {
    constexpr int kLevelsUp = 3;
    std::filesystem::path directory = fileDirectory;
    std::error_code error;
    for (int up = 0; up < kLevelsUp && !directory.empty(); ++up, directory = directory.parent_path()) {
        const std::string description = LevelDescription(directory.string());
        if (!description.empty()) {
            IniFile ini(description);
            if (ini.Load() && ini.HasKey("level", "texture_path"))
                return directory.string() + "/" + ini.GetString("level", "texture_path");
        }
        if (std::filesystem::exists(directory / "default.scn", error)) return directory.string() + "/texture";
        if (directory == directory.parent_path()) break;
    }
    return fileDirectory;
}

}  // namespace

LogWatch::LogWatch() {
    SetReportObserver([this](LogModule, LogLevel level, const std::string& line) {
        if (level == LogLevel::kInfo) return;
        const size_t prefix = kTimePrefixLength + kTagAndMarkerLength;
        const std::string message = line.size() >= prefix ? line.substr(prefix) : line;
        problems_.push_back(ProblemKind(level, message) + message);
        if (level == LogLevel::kFatal) fatalMessage = message;
    });
    SetFatalHandler(StopOnFatal);
}

LogWatch::~LogWatch() {
    SetReportObserver(nullptr);
    SetFatalHandler(nullptr);
}

ReportValue LogWatch::ProblemList() const {
    ReportValue list = ReportValue::List();
    for (const std::string& problem : problems_) list.Push(ReportValue::Text(problem));
    return list;
}

std::string LogWatch::FirstError() const {
    for (const std::string& problem : problems_)
        if (StartsWith(problem, "error: ") || StartsWith(problem, "fatal: ")) return problem;
    return std::string();
}

void SettleVerdict(Inspection& inspection, const LogWatch& watch) {
    const std::string error = watch.FirstError();
    if (inspection.loads && !error.empty()) {
        inspection.loads = false;
        inspection.reason = error;
    }
    inspection.details.Set("loads", ReportValue::Bool(inspection.loads));
}

InspectorTextures::InspectorTextures(const std::string& fileDirectory)
    : TextureManager(std::make_unique<DecodeOnlyUploader>()) {
    // A picture that cannot be decoded is one more problem of the file, not a box.
    SetMessageBox([](const std::string& title, const std::string& text) {
        const std::string line = text.substr(0, text.find_last_not_of('\n') + 1);
        Report(LogModule::kTexture, LogLevel::kError, "%s: %s", title.c_str(), line.c_str());
    });
    SetTexturePath(TextureDirectoryFor(fileDirectory));
}

std::string DirectoryOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

Inspection InspectPath(const std::string& path) {
    // The menu background's default.scn is a COB scene too.
    if (EndsWithNoCase(path, "cob") || EndsWithNoCase(path, ".scn")) return InspectCob(path);
    if (EndsWithNoCase(path, "ms3d")) return InspectMilkshape(path);
    if (EndsWithNoCase(path, "bmp")) return InspectBmp(path);
    Inspection inspection;
    inspection.reason = "unsupported file type (need cob, ms3d or bmp)";
    inspection.details.Set("file", ReportValue::Text(path))
        .Set("kind", ReportValue::Text("unknown"))
        .Set("loads", ReportValue::Bool(false))
        .Set("error", ReportValue::Text(inspection.reason));
    return inspection;
}
