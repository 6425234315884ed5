#include "game/path_graph.h"

#include <gtest/gtest.h>

#include "app/ini_file.h"
#include "game_test_support.h"
#include "support/report_capture.h"

namespace {

TEST(PathGraphBuild, EmptyListFailsWithoutALogLine) {
    ReportCapture log;
    PathGraph graph;
    EXPECT_FALSE(graph.Build({})) << "an empty point list must not make a path";
    EXPECT_TRUE(log.Lines().empty()) << "an empty point list is refused silently, got:\n" << log.Joined();
}

TEST(PathGraphBuild, SingleSegmentGivesTwoEdgesThatTurnBackIntoEachOther) {
    ReportCapture log;
    PathGraph graph;
    ASSERT_TRUE(graph.Build(LinePoints(2, 3)));
    ASSERT_EQ(graph.Edges().size(), 2u) << "one link in each direction";
    const PathEdge& forth = graph.Edges()[0];
    const PathEdge& back = graph.Edges()[1];
    EXPECT_EQ(forth.from->index, 0);
    EXPECT_EQ(forth.to->index, 1);
    EXPECT_FLOAT_EQ(forth.length, 3);
    EXPECT_FLOAT_EQ(forth.dir.x, 1);
    EXPECT_FLOAT_EQ(forth.rot.z, 90) << "an edge going Right has heading 90";
    EXPECT_FLOAT_EQ(back.rot.z, 270) << "an edge going Left has heading 270";
    for (const PathEdge* edge : {&forth, &back}) {
        const PathEdge* other = edge == &forth ? &back : &forth;
        EXPECT_EQ(edge->next_back, other) << "dead end: back";
        EXPECT_EQ(edge->next_left, other) << "dead end: a left turn turns back";
        EXPECT_EQ(edge->next_right, other) << "dead end: a right turn turns back";
        EXPECT_EQ(edge->next_straight, other) << "dead end: straight on turns back";
    }
    EXPECT_EQ(graph.Points()[0].edge_out[kRight], &forth);
    EXPECT_EQ(graph.Points()[1].edge_in[kLeft], &forth);
    EXPECT_EQ(graph.Points()[1].edge_out[kLeft], &back);

    const std::vector<std::string> expected = {
        "plr   Starting path optimization",
        "plr   Point 0 (0.000000,0.000000):Left -1, Right 1, Up -1, Down -1",
        "plr   Point 1 (3.000000,0.000000):Left 0, Right -1, Up -1, Down -1",
        "plr   Loaded 2 points",
        "plr   Edge 0(0 1):dir=[1,0,0],rot=[0,0,90]",
        "plr   Edge 1(1 0):dir=[-1,0,0],rot=[0,0,270]",
        "plr   Found 2 edges",
    };
    EXPECT_EQ(log.Lines(), expected) << "the build log lines, in order";
}

TEST(PathGraphBuild, EdgesAreMadeDepthFirstUpDownLeftRight) {
    // 0 at the centre with 1 above, 2 below, 3 left and 4 right.
    std::vector<PathPoint> star = {MakePoint(0, 0, 0, 1, 4, 2, 3), MakePoint(1, 0, 1, -1, -1, 0, -1),
                                   MakePoint(2, 0, -1, 0, -1, -1, -1), MakePoint(3, -1, 0, -1, 0, -1, -1),
                                   MakePoint(4, 1, 0, -1, -1, -1, 0)};
    PathGraph graph;
    ASSERT_TRUE(graph.Build(star));
    std::vector<std::pair<int, int>> order;
    for (const PathEdge& edge : graph.Edges()) order.emplace_back(edge.from->index, edge.to->index);
    const std::vector<std::pair<int, int>> expected = {{0, 1}, {1, 0}, {0, 2}, {2, 0}, {0, 3}, {3, 0}, {0, 4}, {4, 0}};
    EXPECT_EQ(order, expected) << "each new edge is followed at once from its far point";
}

TEST(PathGraphBuild, LCornerFollowsTheBendForEveryTurn) {
    // 0 (0,0) — 1 (1,0) — 2 (1,1): a corner at 1.
    std::vector<PathPoint> corner = {MakePoint(0, 0, 0, -1, 1), MakePoint(1, 1, 0, 2, -1, -1, 0),
                                     MakePoint(2, 1, 1, -1, -1, 1)};
    PathGraph graph;
    ASSERT_TRUE(graph.Build(corner));
    const PathEdge* in = FindEdge(graph, 0, 1);
    const PathEdge* bend = FindEdge(graph, 1, 2);
    ASSERT_TRUE(in && bend);
    EXPECT_EQ(in->next_left, bend) << "two neighbours: left follows the bend";
    EXPECT_EQ(in->next_right, bend) << "two neighbours: right follows the bend";
    EXPECT_EQ(in->next_straight, bend) << "two neighbours: straight follows the bend";
    EXPECT_EQ(in->next_back, FindEdge(graph, 1, 0));
}

// A T-junction J reached along its stem from below, with branches left and right.
void CheckStraightAtT(bool junctionEven) {
    const int j = junctionEven ? 0 : 1, stem = junctionEven ? 1 : 0;
    std::vector<PathPoint> points(4);
    points[j] = MakePoint(j, 0, 0, -1, 3, stem, 2);
    points[stem] = MakePoint(stem, 0, -1, j);
    points[2] = MakePoint(2, -1, 0, -1, j);
    points[3] = MakePoint(3, 1, 0, -1, -1, -1, j);
    PathGraph graph;
    ASSERT_TRUE(graph.Build(points));
    const PathEdge* up = FindEdge(graph, stem, j);
    ASSERT_NE(up, nullptr);
    EXPECT_EQ(up->next_left, FindEdge(graph, j, 2)) << "left at a T turns left";
    EXPECT_EQ(up->next_right, FindEdge(graph, j, 3)) << "right at a T turns right";
    EXPECT_EQ(up->next_straight, FindEdge(graph, j, junctionEven ? 2 : 3))
        << "straight on at a T goes left at an even point and right at an odd one (junction " << j << ")";
}

TEST(PathGraphBuild, StraightOnAtATJunctionFollowsTheIndexParity) {
    CheckStraightAtT(true);
    CheckStraightAtT(false);
}

TEST(PathGraphBuild, FourWayCrossingTurnsExactly) {
    std::vector<PathPoint> grid = GridPoints(3, 3, 1);
    PathGraph graph;
    ASSERT_TRUE(graph.Build(grid));
    EXPECT_EQ(graph.Edges().size(), 24u) << "12 links, both ways";
    const PathEdge* fromBelow = FindEdge(graph, 1, 4);  // going Up into the centre
    ASSERT_NE(fromBelow, nullptr);
    EXPECT_EQ(fromBelow->next_straight, FindEdge(graph, 4, 7));
    EXPECT_EQ(fromBelow->next_left, FindEdge(graph, 4, 3)) << "going up, left is towards smaller x";
    EXPECT_EQ(fromBelow->next_right, FindEdge(graph, 4, 5));
    EXPECT_EQ(fromBelow->next_back, FindEdge(graph, 4, 1));
}

TEST(PathGraphLinks, OneSidedLinkIsCompleted) {
    // Point 1 names 0 as its Left; point 0 names nobody.
    std::vector<PathPoint> points = {MakePoint(0, 0, 0), MakePoint(1, 1, 0, -1, -1, -1, 0)};
    PathGraph graph;
    ASSERT_TRUE(graph.Build(points));
    EXPECT_EQ(graph.Points()[0].right_index, 1) << "the missing Right of point 0 is filled in";
    EXPECT_EQ(graph.Edges().size(), 2u);
}

TEST(PathGraphLinks, BackLinkOfZeroCountsAsUnset) {
    // 0 — 1 — 2 along x; point 1 carries a stale Right of 0, point 2 names 1 as Left.
    std::vector<PathPoint> points = {MakePoint(0, 0, 0, -1, -1, -1, 1), MakePoint(1, 1, 0, -1, 0, -1, -1),
                                     MakePoint(2, 2, 0, -1, -1, -1, 1)};
    ReportCapture log;
    PathGraph graph;
    ASSERT_TRUE(graph.Build(points)) << log.Joined();
    EXPECT_EQ(graph.Points()[1].right_index, 2) << "a back link of 0 is overwritten like -1";
}

TEST(PathGraphLinks, ContradictingLinkFails) {
    // 0 names 1 as Right, and 2 claims 0 as its Left as well.
    std::vector<PathPoint> points = {MakePoint(0, 0, 0, -1, 1), MakePoint(1, 1, 0, -1, -1, -1, 0),
                                     MakePoint(2, 2, 0, -1, -1, -1, 0)};
    ReportCapture log;
    PathGraph graph;
    EXPECT_FALSE(graph.Build(points));
    EXPECT_TRUE(log.Contains("Point 0 skipps it's neighbour 2.")) << log.Joined();
    EXPECT_TRUE(graph.Edges().empty() && graph.Points().empty()) << "a failed build leaves no graph";
}

TEST(PathGraphLinks, IndexOutOfRangeFailsAtErrorLevel) {
    std::vector<PathPoint> points = LinePoints(3, 1);
    points[2].up_index = 3;
    ReportCapture log;
    PathGraph graph;
    EXPECT_FALSE(graph.Build(points));
    EXPECT_EQ(log.Count("Point 2 has no neighbours must be deleted"), 1) << log.Joined();
    EXPECT_NE(log.Joined().find("plr E Point 2 has no neighbours"), std::string::npos) << "it is an error line";
}

TEST(PathGraphLinks, UnreachablePointsGetNoEdgesAndLonePointsAWarning) {
    // 0—1 linked, 2—3 linked apart from them, 4 alone.
    std::vector<PathPoint> points = {MakePoint(0, 0, 0, -1, 1), MakePoint(1, 1, 0, -1, -1, -1, 0),
                                     MakePoint(2, 5, 0, -1, 3), MakePoint(3, 6, 0, -1, -1, -1, 2), MakePoint(4, 9, 9)};
    ReportCapture log;
    PathGraph graph;
    ASSERT_TRUE(graph.Build(points));
    ASSERT_EQ(graph.Edges().size(), 2u) << "only what the first point reaches gets edges";
    for (const PathEdge& edge : graph.Edges()) EXPECT_LT(edge.from->index, 2);
    EXPECT_NE(log.Joined().find("plr w Point 4 has no neighbours must be deleted"), std::string::npos)
        << "a point without neighbours is a warning and stays:\n" << log.Joined();
    EXPECT_EQ(graph.Points().size(), 5u);
}

TEST(PathGraphLinks, NoEdgesFails) {
    ReportCapture log;
    PathGraph graph;
    EXPECT_FALSE(graph.Build({MakePoint(0, 0, 0)}));
    EXPECT_TRUE(log.Contains("No edges were found")) << log.Joined();
}

TEST(PathGraphLinks, NavigationErrorSendsEveryTurnToTheFirstEdge) {
    // Point 0 carries the index of point 2, so point 1 links back to 2, not to 0:
    // the edge 0→1 arrives at a point that does not know where it came from.
    std::vector<PathPoint> points = {MakePoint(2, 0, 0, -1, 1), MakePoint(1, 1, 0), MakePoint(2, 2, 0, -1, 1)};
    ReportCapture log;
    PathGraph graph;
    ASSERT_TRUE(graph.Build(points)) << log.Joined();
    EXPECT_TRUE(log.Contains("Error in navigation through 1")) << log.Joined();
    const PathEdge& first = graph.Edges()[0];
    EXPECT_EQ(first.next_back, &first) << "a pair never made names edge 0";
    EXPECT_EQ(first.next_straight, &first);
}

TEST(PathGraphLinks, HostileIndicesNeverReachOutside) {
    std::vector<PathPoint> points = LinePoints(4, 1);
    points[0].left_index = -7;       // any negative is none
    points[1].up_index = 1;          // a point that is its own neighbour
    points[3].index = -5;            // a negative own index
    PathGraph graph;
    ReportCapture log;
    graph.Build(points);  // must neither crash nor hang, whatever it decides
    for (const PathEdge& edge : graph.Edges()) {
        EXPECT_TRUE(edge.next_back && edge.next_left && edge.next_right && edge.next_straight)
            << "every link of a built graph names an edge";
    }
    points = LinePoints(2, 1);
    points[0].right_index = 0x7fffffff;
    EXPECT_FALSE(graph.Build(points)) << "a huge neighbour index is out of range";
}

TEST(PathGraphLinks, LargeGridBuildsWithoutDeepRecursion) {
    PathGraph graph;
    ASSERT_TRUE(graph.Build(GridPoints(150, 150, 1)));
    EXPECT_EQ(graph.Edges().size(), 4u * 150 * 149) << "every link of the grid, both ways";
}

TEST(PathGraphSave, WritesPositionsThenNeighboursUpRightDownLeft) {
    std::vector<PathPoint> points = {MakePoint(0, 0.5f, -2, -1, 1), MakePoint(1, 1.25f, -2, -1, -1, -1, 0)};
    PathGraph graph;
    ASSERT_TRUE(graph.Build(points));
    IniFile ini;
    graph.Save(ini);
    ASSERT_EQ(ini.Sections().size(), 1u);
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"point0", "0.5,-2,0"}, {"point1", "1.25,-2,0"}, {"point0_nb", "-1,1,-1,-1"}, {"point1_nb", "-1,-1,-1,0"}};
    EXPECT_EQ(ini.Sections()[0].name, "path");
    EXPECT_EQ(ini.Sections()[0].entries, expected)
        << "positions first, then links as Up, Right, Down, Left";
}

}  // namespace
