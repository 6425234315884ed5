#include "game/path_graph.h"

#include <cmath>
#include <cstdio>
#include <map>
#include <utility>

#include "base/ini_file.h"
#include "base/report.h"

namespace {

constexpr double kDegreesPerRadian = 57.2957795131;

// The order in which the level file lists a point's neighbours, and the slot of
// the neighbour that must point back.
constexpr int kLinkCheckOrder[kDirectionCount] = {kRight, kLeft, kUp, kDown};
// The order in which edges leave a point while the graph is walked depth first.
constexpr int kVisitOrder[kDirectionCount] = {kUp, kDown, kLeft, kRight};

int Opposite(int direction) { return (direction + 2) % kDirectionCount; }
int Turned(int direction, int quarterTurns) { return (direction + quarterTurns + kDirectionCount) % kDirectionCount; }

// The direction at `point` whose neighbour is `other`, or -1.
int DirectionOf(const PathPoint& point, const PathPoint* other) {
    for (int direction = 0; direction < kDirectionCount; ++direction)
        if (point.neighbour[direction] == other) return direction;
    return -1;
}

// At a point with two neighbours, the one a mover did not come from.
const PathPoint* OtherNeighbour(const PathPoint& point, const PathPoint* cameFrom) {
    for (const PathPoint* neighbour : point.neighbour)
        if (neighbour != nullptr && neighbour != cameFrom) return neighbour;
    return cameFrom;
}

using PairMap = std::map<std::pair<size_t, size_t>, size_t>;

// Where a mover arriving at `at` from `cameFrom` (direction d) goes for a turn that
// prefers direction d + quarterTurns. Dead ends send it back, bends follow the bend,
// and a missing branch at a junction falls back to `junctionFallback`.
const PathPoint* TurnTarget(const PathPoint& at, const PathPoint* cameFrom, int preferred, int junctionFallback) {
    const PathPoint* target = at.neighbour[preferred];
    if (target == nullptr) {
        if (at.neighbour_count == 1)
            target = cameFrom;
        else if (at.neighbour_count == 2)
            target = OtherNeighbour(at, cameFrom);
        else
            target = at.neighbour[junctionFallback];
    }
    return target != nullptr ? target : cameFrom;
}

}  // namespace

int32_t PathPoint::NeighbourIndex(int direction) const {
    switch (direction) {
        case kUp: return up_index;
        case kRight: return right_index;
        case kDown: return down_index;
        default: return left_index;
    }
}

int32_t& PathPoint::NeighbourIndex(int direction) {
    switch (direction) {
        case kUp: return up_index;
        case kRight: return right_index;
        case kDown: return down_index;
        default: return left_index;
    }
}

const PathEdge* PathGraph::Edge(int index) const {
    if (index < 0 || static_cast<size_t>(index) >= edges_.size()) return nullptr;
    return &edges_[static_cast<size_t>(index)];
}

void PathGraph::Clear() {
    edges_.clear();
    points_.clear();
}

bool PathGraph::Build(const std::vector<PathPoint>& points) {
    if (points.empty()) return false;
    Report(LogModule::kPlayer, LogLevel::kInfo, "Starting path optimization");
    Clear();
    points_ = points;
    if (!CheckRange() || !CompleteLinks()) {
        Clear();
        return false;
    }
    LinkNeighbours();
    ReportOpenSides();
    Report(LogModule::kPlayer, LogLevel::kInfo, "Loaded %d points", static_cast<int>(points_.size()));
    if (!BuildEdges()) {
        Clear();
        return false;
    }
    return true;
}

bool PathGraph::CheckRange() const {
    const int64_t count = static_cast<int64_t>(points_.size());
    for (const PathPoint& point : points_) {
        bool outside = point.index >= count;
        for (int direction = 0; direction < kDirectionCount; ++direction)
            outside = outside || point.NeighbourIndex(direction) >= count;
        if (outside) {
            Report(LogModule::kPlayer, LogLevel::kError, "Point %d has no neighbours must be deleted", point.index);
            return false;
        }
    }
    return true;
}

// A link the level names on one side only is completed on the other; a link that
// contradicts one already there makes the path unusable. A back link of 0 counts
// as unset here, as the level editors wrote 0 for "none".
bool PathGraph::CompleteLinks() {
    for (const PathPoint& point : points_) {
        for (int direction : kLinkCheckOrder) {
            const int32_t neighbourIndex = point.NeighbourIndex(direction);
            if (neighbourIndex < 0) continue;
            PathPoint& neighbour = points_[static_cast<size_t>(neighbourIndex)];
            int32_t& backLink = neighbour.NeighbourIndex(Opposite(direction));
            if (backLink == point.index) continue;
            if (backLink > 0) {
                Report(LogModule::kPlayer, LogLevel::kError, "Point %d skipps it's neighbour %d.", neighbour.index,
                       point.index);
                return false;
            }
            backLink = point.index;
        }
    }
    return true;
}

void PathGraph::LinkNeighbours() {
    for (PathPoint& point : points_) {
        point.neighbour_count = 0;
        for (int direction = 0; direction < kDirectionCount; ++direction) {
            const int32_t neighbourIndex = point.NeighbourIndex(direction);
            point.neighbour[direction] = neighbourIndex >= 0 ? &points_[static_cast<size_t>(neighbourIndex)] : nullptr;
            point.edge_out[direction] = nullptr;
            point.edge_in[direction] = nullptr;
            if (point.neighbour[direction] != nullptr) ++point.neighbour_count;
        }
        if (point.neighbour_count == 0)
            Report(LogModule::kPlayer, LogLevel::kWarning, "Point %d has no neighbours must be deleted", point.index);
    }
}

void PathGraph::ReportOpenSides() const {
    for (const PathPoint& point : points_) {
        if (point.left_index >= 0 && point.right_index >= 0 && point.up_index >= 0 && point.down_index >= 0) continue;
        Report(LogModule::kPlayer, LogLevel::kInfo, "Point %d (%f,%f):Left %d, Right %d, Up %d, Down %d", point.index,
               std::trunc(static_cast<double>(point.position.x)), std::trunc(static_cast<double>(point.position.y)),
               point.left_index, point.right_index, point.up_index, point.down_index);
    }
}

namespace {

PathEdge MakeEdge(const PathPoint& from, const PathPoint& to, size_t index) {
    PathEdge edge;
    edge.from = &from;
    edge.to = &to;
    edge.index = static_cast<int32_t>(index);
    const double dx = static_cast<double>(to.position.x) - from.position.x;
    const double dy = static_cast<double>(to.position.y) - from.position.y;
    const double dz = static_cast<double>(to.position.z) - from.position.z;
    edge.length = static_cast<float>(std::sqrt(dx * dx + dy * dy + dz * dz));
    if (edge.length > 0) {
        edge.dir = {static_cast<float>(dx / edge.length), static_cast<float>(dy / edge.length),
                    static_cast<float>(dz / edge.length)};
    }
    edge.rot.z = static_cast<float>(std::atan2(edge.dir.y, edge.dir.x) * kDegreesPerRadian + 90.0);
    return edge;
}

// Walks the graph depth first from the first point, making an edge the first time
// each link is met. An explicit stack keeps the visiting order of a recursive walk
// without its depth limit on large levels.
void WalkEdges(const std::vector<PathPoint>& points, std::vector<PathEdge>& edges, PairMap& pairs) {
    struct Visit {
        size_t point;
        int nextDirection;
    };
    std::vector<Visit> stack{{0, 0}};
    while (!stack.empty()) {
        Visit& visit = stack.back();
        if (visit.nextDirection == kDirectionCount) {
            stack.pop_back();
            continue;
        }
        const size_t fromIndex = visit.point;
        const PathPoint* neighbour = points[fromIndex].neighbour[kVisitOrder[visit.nextDirection++]];
        if (neighbour == nullptr) continue;
        const size_t toIndex = static_cast<size_t>(neighbour - points.data());
        if (!pairs.emplace(std::make_pair(fromIndex, toIndex), edges.size()).second) continue;
        const PathEdge& edge = edges.emplace_back(MakeEdge(points[fromIndex], *neighbour, edges.size()));
        Report(LogModule::kPlayer, LogLevel::kInfo, "Edge %d(%d %d):dir=[%g,%g,%g],rot=[%g,%g,%g]", edge.index,
               edge.from->index, edge.to->index, edge.dir.x, edge.dir.y, edge.dir.z, edge.rot.x, edge.rot.y,
               edge.rot.z);
        stack.push_back({toIndex, 0});
    }
}

}  // namespace

bool PathGraph::BuildEdges() {
    edges_.clear();
    PairMap pairs;
    WalkEdges(points_, edges_, pairs);
    if (edges_.empty()) {
        Report(LogModule::kPlayer, LogLevel::kError, "No edges were found");
        return false;
    }
    Report(LogModule::kPlayer, LogLevel::kInfo, "Found %d edges", static_cast<int>(edges_.size()));

    auto pointIndex = [this](const PathPoint* point) { return static_cast<size_t>(point - points_.data()); };
    // A pair that was never made names the first edge, as the turn tables always did.
    auto edgeTo = [&](const PathPoint* from, const PathPoint* to) {
        return &edges_[pairs[std::make_pair(pointIndex(from), pointIndex(to))]];
    };

    for (PathEdge& edge : edges_) {
        const PathPoint& end = *edge.to;
        edge.next_back = edgeTo(edge.to, edge.from);
        const int arrival = DirectionOf(end, edge.from);
        const PathPoint* left = edge.from;
        const PathPoint* right = edge.from;
        const PathPoint* straight = edge.from;
        if (arrival < 0 || end.neighbour_count == 0) {
            Report(LogModule::kPlayer, LogLevel::kError, "Error in navigation through %d", end.index);
        } else {
            const int ahead = Turned(arrival, 2);
            left = TurnTarget(end, edge.from, Turned(arrival, 1), ahead);
            right = TurnTarget(end, edge.from, Turned(arrival, -1), ahead);
            // Straight on at a junction without a way ahead: even points send the
            // mover left, odd points right, so that both ways get used.
            const int sideways = end.index % 2 == 0 ? Turned(arrival, 1) : Turned(arrival, -1);
            straight = TurnTarget(end, edge.from, ahead, sideways);
        }
        edge.next_left = edgeTo(edge.to, left);
        edge.next_right = edgeTo(edge.to, right);
        edge.next_straight = edgeTo(edge.to, straight);
    }

    for (const PathEdge& edge : edges_) {
        PathPoint& from = points_[pointIndex(edge.from)];
        PathPoint& to = points_[pointIndex(edge.to)];
        const int outgoing = DirectionOf(from, edge.to);
        const int incoming = DirectionOf(to, edge.from);
        if (outgoing >= 0) from.edge_out[outgoing] = &edge;
        if (incoming >= 0) to.edge_in[incoming] = &edge;
    }
    return true;
}

void PathGraph::Save(IniFile& ini) const {
    char key[32];
    char value[128];
    for (size_t i = 0; i < points_.size(); ++i) {
        const Vec3& position = points_[i].position;
        std::snprintf(key, sizeof key, "point%d", static_cast<int>(i));
        std::snprintf(value, sizeof value, "%g,%g,%g", static_cast<double>(position.x), static_cast<double>(position.y),
                      static_cast<double>(position.z));
        ini.SetValue("path", key, value, true);
    }
    for (size_t i = 0; i < points_.size(); ++i) {
        const PathPoint& point = points_[i];
        std::snprintf(key, sizeof key, "point%d_nb", static_cast<int>(i));
        std::snprintf(value, sizeof value, "%d,%d,%d,%d", point.up_index, point.right_index, point.down_index,
                      point.left_index);
        ini.SetValue("path", key, value, true);
    }
}
