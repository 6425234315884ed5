#include <benchmark/benchmark.h>

#include <cstdint>
#include <deque>
#include <vector>

#include "game/player_manager.h"
#include "scene/model.h"

namespace {

// A full grid of 40 × 25 = 1000 points, one unit apart.
std::vector<PathPoint> Grid(int columns, int rows) {
    std::vector<PathPoint> points;
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            const int index = row * columns + column;
            PathPoint point;
            point.index = index;
            point.position = {static_cast<float>(column), static_cast<float>(row), 0};
            point.up_index = row + 1 < rows ? index + columns : -1;
            point.right_index = column + 1 < columns ? index + 1 : -1;
            point.down_index = row > 0 ? index - columns : -1;
            point.left_index = column > 0 ? index - 1 : -1;
            points.push_back(point);
        }
    }
    return points;
}

// One game step with two players racing round a 1000-point grid at top speed,
// one of them turning left at every point, both firing whenever they can.
void BM_StepTwoPlayers(benchmark::State& state) {
    int64_t now = 0;
    PlayerManager manager([&now] { return now; });
    manager.BuildPath(Grid(40, 25));
    std::deque<Model> models(4);
    models[0].location = {5, 5, 0};
    models[0].rotation = {0, 0, 90};
    models[2].location = {30, 20, 0};
    models[2].rotation = {0, 0, 270};
    manager.AddPlayer(&models[0], &models[1]);
    manager.AddPlayer(&models[2], &models[3]);
    manager.PlacePlayers();
    for (int id = 0; id < 2; ++id) {
        manager.SetPlayerInfo(id, id == 0 ? "Ann" : "Bob", true);
        manager.SetPlayerActive(id, true);
        manager.OnControl(kControlSpeedUp, id, true);
    }
    manager.OnControl(kControlTurnLeft, 0, true);
    manager.SetMaxHits(1 << 30);
    for (auto _ : state) {
        now += 16;
        manager.Step();
        for (int id = 0; id < 2; ++id) {
            if (manager.FindPlayer(id)->bullet_loaded) manager.OnControl(kControlFire, id, true);
        }
    }
    state.counters["hits"] = manager.FindPlayer(0)->got_hits + manager.FindPlayer(1)->got_hits;
}
BENCHMARK(BM_StepTwoPlayers);

}  // namespace
