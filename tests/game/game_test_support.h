#pragma once

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "effects/event_trigger.h"
#include "game/path_graph.h"
#include "game/player_update_sink.h"

// Small synthetic levels and recording script actions for the game-rule tests.

inline PathPoint MakePoint(int index, float x, float y, int up = -1, int right = -1, int down = -1, int left = -1) {
    PathPoint point{right, left, up, down, {x, y, 0}};
    point.index = index;
    return point;
}

// `count` points along x, `spacing` apart, each linked to the next.
inline std::vector<PathPoint> LinePoints(int count, float spacing) {
    std::vector<PathPoint> points;
    for (int i = 0; i < count; ++i)
        points.push_back(MakePoint(i, i * spacing, 0, -1, i + 1 < count ? i + 1 : -1, -1, i > 0 ? i - 1 : -1));
    return points;
}

// A square loop of side `side`: 0 (0,0), 1 (side,0), 2 (side,side), 3 (0,side).
inline std::vector<PathPoint> LoopPoints(float side) {
    return {MakePoint(0, 0, 0, 3, 1, -1, -1), MakePoint(1, side, 0, 2, -1, -1, 0),
            MakePoint(2, side, side, -1, -1, 1, 3), MakePoint(3, 0, side, -1, 2, 0, -1)};
}

// A full grid of columns × rows points, `spacing` apart, indexed row by row from (0,0).
inline std::vector<PathPoint> GridPoints(int columns, int rows, float spacing) {
    std::vector<PathPoint> points;
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            const int index = row * columns + column;
            points.push_back(MakePoint(index, column * spacing, row * spacing, row + 1 < rows ? index + columns : -1,
                                       column + 1 < columns ? index + 1 : -1, row > 0 ? index - columns : -1,
                                       column > 0 ? index - 1 : -1));
        }
    }
    return points;
}

// The edge of `graph` from point `from` to point `to`, or nullptr.
inline const PathEdge* FindEdge(const PathGraph& graph, int from, int to) {
    for (const PathEdge& edge : graph.Edges())
        if (edge.from->index == from && edge.to->index == to) return &edge;
    return nullptr;
}

// Binds script actions that write "<name> start" and "<name> stop" into `entries`.
class TriggerJournal {
public:
    void Bind(EventTrigger& trigger, const std::string& name) {
        actions_.push_back(std::make_unique<Action>(name, entries));
        trigger.Bind(actions_.back().get());
    }
    int Count(const std::string& entry) const {
        return static_cast<int>(std::count(entries.begin(), entries.end(), entry));
    }

    std::vector<std::string> entries;

private:
    class Action : public ScriptAction {
    public:
        Action(std::string name, std::vector<std::string>& journal) : name_(std::move(name)), journal_(journal) {}
        void Start() override { journal_.push_back(name_ + " start"); }
        void Stop() override { journal_.push_back(name_ + " stop"); }

    private:
        std::string name_;
        std::vector<std::string>& journal_;
    };
    std::vector<std::unique_ptr<Action>> actions_;
};

// An update sink that is always open and keeps what it is handed.
class RecordingSink : public PlayerUpdateSink {
public:
    bool Accepting() const override { return true; }
    void TakeUpdate(const PlayerUpdate& update) override { updates.push_back(update); }
    void TimerReset() override {}
    void ClockMoved(int32_t now) override { clocks.push_back(now); }

    std::vector<PlayerUpdate> updates;
    std::vector<int32_t> clocks;
};
