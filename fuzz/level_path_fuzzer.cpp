// Level paths from untrusted level files: the [path] section of a description file
// (first byte 'i') or the curve of a scene file (any other first byte), each turned
// into path points and built into a path graph as a level load does.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "base/ini_file.h"
#include "fuzz_support.h"
#include "game/level_path.h"
#include "game/path_graph.h"
#include "scene/cob_reader.h"

namespace {

void Build(const std::vector<PathPoint>& points) {
    PathGraph graph;
    if (!points.empty()) graph.Build(points);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    PrepareFuzzing();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const char* bytes = reinterpret_cast<const char*>(data) + 1;
    const size_t length = size - 1;
    if (data[0] == 'i') {
        IniFile ini;
        ini.Parse(std::string(bytes, length));
        Build(ReadPathFromIni(ini));
        return 0;
    }
    CobReader scene;
    try {
        scene.LoadFromMemory(bytes, length, "fuzz.cob");
        for (const CobNCur& curve : scene.Curves()) Build(PathFromCurve(curve));
    } catch (const FatalReportThrown&) {
        // A diagonal curve segment (or a refused shader) ends the game.
    }
    return 0;
}
