#include "game/level_path.h"

#include <cmath>
#include <cstdio>

#include "base/ini_file.h"
#include "base/report.h"
#include "scene/cob_reader.h"

int ScanVector(const std::string& text, Vec3& out) {
    float values[3] = {out.x, out.y, out.z};
    const int count = std::sscanf(text.c_str(), "%g,%g,%g", &values[0], &values[1], &values[2]);
    if (count <= 0) return 0;
    out = {values[0], values[1], values[2]};
    return count;
}

namespace {

// Neighbour lines list Up, Right, Down, Left.
bool ScanNeighbours(const std::string& text, PathPoint& point) {
    int up = -1, right = -1, down = -1, left = -1;
    if (std::sscanf(text.c_str(), "%d,%d,%d,%d", &up, &right, &down, &left) != 4) return false;
    point.up_index = up;
    point.right_index = right;
    point.down_index = down;
    point.left_index = left;
    return true;
}

std::string PointKey(int n) { return "point" + std::to_string(n); }

}  // namespace

std::vector<PathPoint> ReadPathFromIni(const IniFile& ini) {
    std::vector<PathPoint> points;
    if (!ini.HasSection("path")) {
        Report(LogModule::kGame, LogLevel::kWarning, "Ini does not have path information");
        return points;
    }
    for (int n = 0; ini.HasKey("path", PointKey(n)); ++n) {
        const std::string key = PointKey(n);
        PathPoint point;
        if (ScanVector(ini.GetString("path", key), point.position) < 3) {
            Report(LogModule::kGame, LogLevel::kWarning, "Bad location for %s", key.c_str());
            points.clear();
            break;
        }
        const std::string neighbourKey = key + "_nb";
        if (!ScanNeighbours(ini.GetString("path", neighbourKey), point)) {
            Report(LogModule::kGame, LogLevel::kWarning, "Bad neigbourhood for %s", neighbourKey.c_str());
            points.clear();
            break;
        }
        point.index = static_cast<int32_t>(points.size());
        points.push_back(point);
    }
    Report(LogModule::kGame, LogLevel::kInfo, "Converted %d points from ini file", static_cast<int>(points.size()));
    return points;
}

namespace {

int Sign(double difference) { return difference > 0 ? 1 : difference < 0 ? -1 : 0; }

// Makes `other` the neighbour of `point` on the side it lies, judged by whole units:
// along x when the whole parts of x differ, else along y.
void LinkTowards(PathPoint& point, const PathPoint& other) {
    const int dx = Sign(std::trunc(point.position.x) - std::trunc(other.position.x));
    const int dy = Sign(std::trunc(point.position.y) - std::trunc(other.position.y));
    if (dx > 0)
        point.left_index = other.index;
    else if (dx < 0)
        point.right_index = other.index;
    else if (dy > 0)
        point.down_index = other.index;
    else if (dy < 0)
        point.up_index = other.index;
}

size_t FindOrAddPoint(std::vector<PathPoint>& points, const Vec3& position) {
    for (size_t i = 0; i < points.size(); ++i) {
        const Vec3& known = points[i].position;
        if (known.x == position.x && known.y == position.y && known.z == position.z) return i;
    }
    PathPoint point;
    point.position = position;
    point.index = static_cast<int32_t>(points.size());
    points.push_back(point);
    return points.size() - 1;
}

}  // namespace

std::vector<PathPoint> PathFromCurve(const CobNCur& curve) {
    std::vector<PathPoint> points;
    const std::vector<CobControlPoint>& controls = curve.controlPoints;
    const Vec3& origin = curve.localAxes.centre;
    size_t previous = 0;
    // Anchors sit at 0, 3, 6, ...; a curve that does not end on an anchor (3k + 2
    // control points) ends at its last anchor rather than reading past its end.
    for (size_t i = 0; i < controls.size(); i += 3) {
        const Vec3& control = controls[i].position;
        const size_t current =
            FindOrAddPoint(points, Vec3{control.x + origin.x, control.y + origin.y, control.z + origin.z});
        if (i > 0) {
            PathPoint& here = points[current];
            PathPoint& before = points[previous];
            LinkTowards(here, before);
            LinkTowards(before, here);
            if (here.position.x != before.position.x && here.position.y != before.position.y)
                Report(LogModule::kGame, LogLevel::kFatal, "%d to %d disruption", before.index, here.index);
        }
        previous = current;
    }
    Report(LogModule::kGame, LogLevel::kInfo, "Converted %d points from the nurbs curve",
           static_cast<int>(points.size()));
    return points;
}
