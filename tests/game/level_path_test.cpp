#include "game/level_path.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/ini_file.h"
#include "scene/cob_reader.h"
#include "support/report_capture.h"

namespace {

std::vector<PathPoint> FromIni(const std::string& text) {
    IniFile ini;
    ini.Parse(text);
    return ReadPathFromIni(ini);
}

CobNCur Curve(const std::vector<Vec3>& controls, const Vec3& origin = {}) {
    CobNCur curve;
    curve.localAxes.centre = origin;
    for (const Vec3& position : controls) curve.controlPoints.push_back(CobControlPoint{position, 1});
    return curve;
}

// Control points of a curve through `anchors`, with two handles between each pair.
std::vector<Vec3> Through(const std::vector<Vec3>& anchors) {
    std::vector<Vec3> controls;
    for (size_t i = 0; i < anchors.size(); ++i) {
        controls.push_back(anchors[i]);
        if (i + 1 < anchors.size()) {
            controls.push_back(Vec3{anchors[i].x + 0.1f, anchors[i].y + 0.2f, 0});
            controls.push_back(Vec3{anchors[i].x + 0.3f, anchors[i].y + 0.4f, 0});
        }
    }
    return controls;
}

TEST(ReadPathFromIni, ReadsPointsAndNeighboursUntilTheFirstMissingNumber) {
    const auto points = FromIni(
        "[path]\npoint0=0,0,0\npoint1=3,0,0\npoint3=9,9,9\n"
        "point0_nb=-1,1,-1,-1\npoint1_nb=2,-1,-1,0\n");
    ASSERT_EQ(points.size(), 2u) << "point3 is not read after the missing point2";
    EXPECT_EQ(points[1].position.x, 3.0f);
    EXPECT_EQ(points[1].up_index, 2) << "neighbour lines list Up, Right, Down, Left";
    EXPECT_EQ(points[1].left_index, 0);
}

TEST(ReadPathFromIni, AMissingSectionOrABadLineGivesNoPath) {
    const std::string point0 = "[path]\npoint0=0,0,0\npoint0_nb=-1,1,-1,-1\n";
    struct Case {
        std::string ini;
        const char* logged;
    } cases[] = {
        {"[level]\n", "Ini does not have path information"},
        {point0 + "point1=3,0\npoint1_nb=-1,-1,-1,0\n", "Bad location for point1"},
        {"[path]\npoint0=0,0,0\n", "Bad neigbourhood for point0_nb"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.logged);
        ReportCapture capture;
        EXPECT_TRUE(FromIni(c.ini).empty()) << "one bad line throws the whole path away";
        EXPECT_TRUE(capture.Contains(c.logged)) << capture.Joined();
    }
}

TEST(PathFromCurve, TakesTheAnchorsMovedByTheCurvesPlaceAndLinksThem) {
    ReportCapture capture;
    // Up along y, then right along x.
    const auto points = PathFromCurve(Curve(Through({{0, 0, 0}, {0, 5, 0}, {4, 5, 0}}), Vec3{10, 20, 1}));
    ASSERT_EQ(points.size(), 3u);
    const Vec3& corner = points[1].position;
    EXPECT_TRUE(corner.x == 10 && corner.y == 25 && corner.z == 1) << "anchors are moved by the curve's place";
    EXPECT_EQ((std::vector<int>{points[0].up_index, points[1].down_index, points[1].right_index, points[2].left_index,
                                points[0].right_index}),
              (std::vector<int>{1, 0, 2, 1, -1}))
        << "consecutive anchors are linked both ways along their direction";

    const auto closed = PathFromCurve(Curve(Through({{0, 0, 0}, {4, 0, 0}, {4, 4, 0}, {0, 4, 0}, {0, 0, 0}})));
    ASSERT_EQ(closed.size(), 4u) << "a closed curve comes back to its first point";
    EXPECT_EQ(closed[0].up_index, 3);
    EXPECT_EQ(closed[3].down_index, 0);
}

TEST(PathFromCurve, DiagonalSegmentIsFatal) {
    ReportCapture capture;
    try {
        PathFromCurve(Curve(Through({{0, 0, 0}, {4, 0, 0}, {6, 3, 0}})));
        FAIL() << "a diagonal segment must end the program";
    } catch (const FatalReport& fatal) {
        EXPECT_EQ(fatal.line, "gme F 1 to 2 disruption");
    }
}

}  // namespace
