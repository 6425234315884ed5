#include "inspection.h"

#include <memory>
#include <strings.h>

#include "app/report.h"
#include "scene/texture_manager.h"

namespace {

constexpr size_t kTimePrefixLength = 9;   // "hh:mm:ss "
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

bool EndsWithNoCase(const std::string& text, const char* ending) {
    const size_t length = std::char_traits<char>::length(ending);
    return text.size() >= length && strcasecmp(text.c_str() + text.size() - length, ending) == 0;
}

}  // namespace

LogWatch::LogWatch() {
    SetReportObserver([this](int, int level, const std::string& line) {
        if (level == kInfo) return;
        const size_t prefix = kTimePrefixLength + kTagAndMarkerLength;
        const std::string message = line.size() >= prefix ? line.substr(prefix) : line;
        const char* kind = level == kFatal ? "fatal: " : level == kError ? "error: " : "warning: ";
        problems_.push_back(kind + message);
        if (level == kFatal) fatalMessage = message;
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

void PrepareTextureLookup(const std::string& fileDirectory) {
    TextureManager& textures = TextureManager::Instance();
    textures.SetUploader(std::make_unique<DecodeOnlyUploader>());
    // A picture that cannot be decoded is one more problem of the file, not a box.
    textures.SetMessageBox([](const std::string& title, const std::string& text) {
        const std::string line = text.substr(0, text.find_last_not_of('\n') + 1);
        Report(kTexture, kError, "%s: %s", title.c_str(), line.c_str());
    });
    textures.DeleteAllTextures();
    textures.SetTexturePath(fileDirectory);
}

std::string DirectoryOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

Inspection InspectPath(const std::string& path) {
    if (EndsWithNoCase(path, "cob")) return InspectCob(path);
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
