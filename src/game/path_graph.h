#pragma once

#include <cstdint>
#include <vector>

#include "base/vec3.h"

class IniFile;

// Directions at a path point, clockwise from Up. Up is towards larger y, Right
// towards larger x. For a ship that arrived from direction d, d + 1 is its left
// turn, d - 1 its right turn and d + 2 straight on (all modulo 4).
enum Direction { kUp = 0, kRight = 1, kDown = 2, kLeft = 3 };
constexpr int kDirectionCount = 4;

struct PathEdge;

// One grid point of a level's path. The four indices are what the level file says
// (-1 for none); the references are filled when the graph is built.
struct PathPoint {
    int32_t right_index = -1;
    int32_t left_index = -1;
    int32_t up_index = -1;
    int32_t down_index = -1;
    Vec3 position;
    const PathPoint* neighbour[kDirectionCount] = {};
    const PathEdge* edge_out[kDirectionCount] = {};
    const PathEdge* edge_in[kDirectionCount] = {};
    int32_t neighbour_count = 0;
    int32_t index = 0;

    int32_t NeighbourIndex(int direction) const;
    int32_t& NeighbourIndex(int direction);
};

// A directed link between two neighbouring points, with the edge a mover takes
// at `to` for each turn choice, so that moving never has to search.
struct PathEdge {
    const PathPoint* from = nullptr;
    const PathPoint* to = nullptr;
    Vec3 dir;  // unit vector from `from` to `to`, zero when they coincide
    Vec3 rot;  // (0, 0, heading in degrees): 180 Up, 90 Right, 0 Down, 270 Left
    float length = 0;
    const PathEdge* next_straight = nullptr;
    const PathEdge* next_left = nullptr;
    const PathEdge* next_right = nullptr;
    const PathEdge* next_back = nullptr;
    int32_t index = 0;
};

// The checked and linked path of a level. Points and edges refer to each other by
// address, so the lists never change size between builds and the graph is not copied.
class PathGraph {
public:
    PathGraph() = default;
    PathGraph(const PathGraph&) = delete;
    PathGraph& operator=(const PathGraph&) = delete;

    // Replaces the graph by one built from `points`; false (and an empty graph)
    // when the points cannot make a usable path.
    bool Build(const std::vector<PathPoint>& points);
    // Writes the points, with the links as completed by Build, into section "path".
    void Save(IniFile& ini) const;
    void Clear();

    const std::vector<PathPoint>& Points() const { return points_; }
    const std::vector<PathEdge>& Edges() const { return edges_; }
    // The edge with this index, or nullptr when there is none.
    const PathEdge* Edge(int index) const;

private:
    bool CheckRange() const;
    bool CompleteLinks();
    void LinkNeighbours();
    void ReportOpenSides() const;
    bool BuildEdges();

    std::vector<PathPoint> points_;
    std::vector<PathEdge> edges_;
};
