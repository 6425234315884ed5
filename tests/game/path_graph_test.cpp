#include "game/path_graph.h"

#include <gtest/gtest.h>

#include "game_test_support.h"
#include "support/report_capture.h"

namespace {

std::vector<std::pair<int, int>> EdgeOrder(const PathGraph& graph) {
    std::vector<std::pair<int, int>> order;
    for (const PathEdge& edge : graph.Edges()) order.emplace_back(edge.from->index, edge.to->index);
    return order;
}

TEST(PathGraphBuild, EdgesAreMadeDepthFirstUpDownLeftRightAndEveryTurnIsSet) {
    // 0 at the centre with 1 above, 2 below, 3 left and 4 right.
    PathGraph graph;
    ASSERT_TRUE(graph.Build({MakePoint(0, 0, 0, 1, 4, 2, 3), MakePoint(1, 0, 1, -1, -1, 0, -1),
                             MakePoint(2, 0, -1, 0, -1, -1, -1), MakePoint(3, -1, 0, -1, 0, -1, -1),
                             MakePoint(4, 1, 0, -1, -1, -1, 0)}));
    EXPECT_EQ(EdgeOrder(graph),
              (std::vector<std::pair<int, int>>{{0, 1}, {1, 0}, {0, 2}, {2, 0}, {0, 3}, {3, 0}, {0, 4}, {4, 0}}))
        << "each new edge is followed at once from its far point; the order names the edges in updates";
    EXPECT_FLOAT_EQ(FindEdge(graph, 0, 4)->rot.z, 90) << "an edge going Right has heading 90";
    EXPECT_FLOAT_EQ(FindEdge(graph, 0, 3)->rot.z, 270) << "an edge going Left has heading 270";
}

TEST(PathGraphBuild, TurnsAtDeadEndsCornersAndCrossings) {
    const std::vector<PathPoint> corner{MakePoint(0, 0, 0, -1, 1), MakePoint(1, 1, 0, 2, -1, -1, 0),
                                        MakePoint(2, 1, 1, -1, -1, 1)};
    struct Case {
        std::vector<PathPoint> points;
        int from, at, left, right, straight;
        const char* rule;
    } cases[] = {
        {LinePoints(2, 3), 0, 1, 0, 0, 0, "at a dead end every turn turns back"},
        {corner, 0, 1, 2, 2, 2, "at a corner every turn follows the bend"},
        {GridPoints(3, 3, 1), 1, 4, 3, 5, 7, "at a crossing going up, left is towards smaller x"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rule);
        PathGraph graph;
        ASSERT_TRUE(graph.Build(c.points));
        const PathEdge* in = FindEdge(graph, c.from, c.at);
        ASSERT_NE(in, nullptr);
        EXPECT_EQ(in->next_left, FindEdge(graph, c.at, c.left));
        EXPECT_EQ(in->next_right, FindEdge(graph, c.at, c.right));
        EXPECT_EQ(in->next_straight, FindEdge(graph, c.at, c.straight));
        EXPECT_EQ(in->next_back, FindEdge(graph, c.at, c.from));
    }
}

TEST(PathGraphLinks, FaultyLinksAreRepairedOrRefused) {
    std::vector<PathPoint> outOfRange = LinePoints(3, 1);
    outOfRange[2].up_index = 3;
    std::vector<PathPoint> hostile = LinePoints(4, 1);
    hostile[0].left_index = -7;  // any negative is none
    hostile[1].up_index = 1;     // a point that is its own neighbour
    hostile[3].index = -5;       // a negative own index
    const std::vector<PathPoint> contradicting{MakePoint(0, 0, 0, -1, 1), MakePoint(1, 1, 0, -1, -1, -1, 0),
                                               MakePoint(2, 2, 0, -1, -1, -1, 0)};
    const std::vector<PathPoint> twoParts{MakePoint(0, 0, 0, -1, 1), MakePoint(1, 1, 0, -1, -1, -1, 0),
                                          MakePoint(2, 5, 0, -1, 3), MakePoint(3, 6, 0, -1, -1, -1, 2),
                                          MakePoint(4, 9, 9)};
    struct Case {
        std::vector<PathPoint> points;
        bool builds;
        int edges;
        const char* logged;  // part of the log
        const char* rule;
    } cases[] = {
        {{}, false, 0, "", "an empty point list is refused"},
        {{MakePoint(0, 0, 0), MakePoint(1, 1, 0, -1, -1, -1, 0)}, true, 2, "", "a one-sided link is completed"},
        {contradicting, false, 0, "plr E Point 0 skipps it's neighbour 2.", "a contradicting link fails"},
        {outOfRange, false, 0, "plr E Point 2 has no neighbours must be deleted", "an index out of range fails"},
        {hostile, false, 0, "skipps it's neighbour -5", "negative and self links never reach outside"},
        {twoParts, true, 2, "plr w Point 4 has no neighbours must be deleted",
         "only what the first point reaches gets edges; a lone point is a warning"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rule);
        ReportCapture log;
        PathGraph graph;
        EXPECT_EQ(graph.Build(c.points), c.builds) << log.Joined();
        EXPECT_EQ(graph.Edges().size(), static_cast<size_t>(c.edges));
        EXPECT_NE(log.Joined().find(c.logged), std::string::npos) << log.Joined();
        EXPECT_EQ(graph.Points().empty(), !c.builds) << "a failed build leaves no graph";
        for (const PathEdge& edge : graph.Edges())
            EXPECT_TRUE(edge.next_back && edge.next_left && edge.next_right && edge.next_straight)
                << "every link of a built graph names an edge";
    }
}

TEST(PathGraphLinks, LargeGridBuildsWithoutDeepRecursion) {
    PathGraph graph;
    ASSERT_TRUE(graph.Build(GridPoints(150, 150, 1)));
    EXPECT_EQ(graph.Edges().size(), 4u * 150 * 149);
}

}  // namespace
