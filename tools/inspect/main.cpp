// kav-inspect FILE|LEVELDIR...: tells a level author what the game reads from COB scenes,
// MS3D models, BMP textures and whole level directories, and whether it would load them.
// No display is needed.
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include "inspect_level.h"
#include "inspection.h"

namespace {

void Usage() {
    std::fputs(
        "usage: kav-inspect [--json] FILE|LEVELDIR...\n"
        "  FILE: a COB scene (.cob, .scn), an MS3D model (.ms3d) or a BMP texture (.bmp)\n"
        "  LEVELDIR: a level directory (data/<level>) or the menu background (data/.default),\n"
        "    loaded as the game loads it; the load writes saved.ini.all into a level, as the game does\n"
        "  --json: one JSON object per file and line\n"
        "Exit status 0 when the game would load every file and level, 1 otherwise.\n",
        stderr);
}

// The game's log writes its warnings to standard output; they belong in each file's
// problems, so the report gets standard output to itself.
std::FILE* TakeStandardOutput() {
    std::fflush(stdout);
    std::FILE* report = fdopen(dup(STDOUT_FILENO), "w");
    const int nowhere = open("/dev/null", O_WRONLY);
    if (report == nullptr || nowhere < 0) return stdout;
    dup2(nowhere, STDOUT_FILENO);
    close(nowhere);
    return report;
}

}  // namespace

int main(int argc, char** argv) {
    bool json = false;
    std::vector<std::string> paths;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--json") == 0) {
            json = true;
        } else if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            Usage();
            return 0;
        } else {
            paths.emplace_back(argv[i]);
        }
    }
    if (paths.empty()) {
        Usage();
        return 2;
    }

    std::FILE* report = TakeStandardOutput();
    bool allLoad = true;
    for (size_t i = 0; i < paths.size(); ++i) {
        std::error_code error;
        const Inspection inspection =
            std::filesystem::is_directory(paths[i], error) ? InspectLevelDirectory(paths[i]) : InspectPath(paths[i]);
        const std::string text = json ? inspection.details.ToJson() + "\n" : inspection.details.ToText();
        std::fputs(text.c_str(), report);
        if (!json && i + 1 < paths.size()) std::fputs("\n", report);
        std::fflush(report);
        if (!inspection.loads) {
            allLoad = false;
            std::fprintf(stderr, "kav-inspect: %s: %s\n", paths[i].c_str(), inspection.reason.c_str());
        }
    }
    return allLoad ? 0 : 1;
}
