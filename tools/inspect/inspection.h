#pragma once

#include <string>
#include <vector>

#include "report_value.h"
#include "scene/texture_manager.h"

// What the inspector says about one path: the details it read, whether the game
// would load it, and if not, why.
struct Inspection {
    ReportValue details = ReportValue::Object();
    bool loads = false;
    std::string reason;
};

// While alive, collects the warnings and errors the game logs and turns a fatal report
// into a FatalStop exception, so a file that would end the game is only reported.
class LogWatch {
public:
    LogWatch();
    ~LogWatch();
    LogWatch(const LogWatch&) = delete;
    LogWatch& operator=(const LogWatch&) = delete;

    // The messages in order, each as "error: ...", "warning: ..." or "fatal: ...".
    const std::vector<std::string>& Problems() const { return problems_; }
    ReportValue ProblemList() const;

private:
    std::vector<std::string> problems_;
};

struct FatalStop {
    std::string message;
};

// The inspector's own texture manager. Texture files are looked for the way the game
// does, with the texture path of the level the file belongs to (the file's own directory
// when it belongs to none); found textures are decoded but never uploaded, so no display
// is needed.
class InspectorTextures : public TextureManager {
public:
    explicit InspectorTextures(const std::string& fileDirectory);
};

std::string DirectoryOf(const std::string& path);

Inspection InspectCob(const std::string& path);
Inspection InspectMilkshape(const std::string& path);
Inspection InspectBmp(const std::string& path);

// Chooses the inspector by the file name's ending, as the game does.
Inspection InspectPath(const std::string& path);
