#include "net/server_rows.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

ServerRow Row(const std::string& name, int ping, bool compatible = true) {
    ServerRow row;
    row.entry.name = name;
    row.entry.host = name + ".example";
    row.entry.port = 4077;
    row.entry.version = compatible ? "0.9b" : "1.0";
    row.compatible = compatible;
    row.ping_ms = ping;
    return row;
}

std::string Names(const std::vector<ServerRow>& rows) {
    std::string names;
    for (const ServerRow& row : rows) names += (names.empty() ? "" : " ") + row.entry.name;
    return names;
}

std::vector<int> Pings(const std::vector<ServerRow>& rows) {
    std::vector<int> pings;
    for (const ServerRow& row : rows) pings.push_back(row.ping_ms);
    return pings;
}

constexpr int kPending = ServerRow::kPingPending;
constexpr int kGone = ServerRow::kPingUnreachable;

TEST(ServerRows, SortingByPing) {
    struct Case {
        const char* name;
        std::vector<ServerRow> rows;
        std::string sorted;
    } const cases[] = {
        {"quickest first", {Row("a", 80), Row("b", 5), Row("c", 20)}, "b c a"},
        {"ties keep their order", {Row("a", 7), Row("b", 7), Row("c", 3)}, "c a b"},
        {"unreachable after measuring", {Row("a", kGone), Row("b", kPending), Row("c", 1)}, "c b a"},
        {"another version last", {Row("a", kPending, false), Row("b", kGone), Row("c", 9)}, "c b a"},
    };
    for (const Case& c : cases) {
        std::vector<ServerRow> rows = c.rows;
        SortRowsByPing(rows);
        EXPECT_EQ(Names(rows), c.sorted) << c.name;
    }
}

TEST(ServerRows, ARefreshKeepsThePingsOfServersStillListed) {
    const std::vector<ServerRow> old = {Row("a", 12), Row("b", kGone), Row("gone", 4)};
    std::vector<ServerRow> fresh = {Row("new", kPending), Row("b", kPending), Row("a", kPending)};
    KeepKnownPings(old, fresh);
    EXPECT_EQ(Pings(fresh), (std::vector<int>{kPending, kGone, 12}));
}

TEST(ServerRows, APingReachesOnlyServersOfOurVersionAtThatAddress) {
    std::vector<ServerRow> rows = {Row("a", kPending), Row("a", kPending, false), Row("b", kPending)};
    EXPECT_TRUE(SetRowPing(rows, "a.example", 4077, 30));
    EXPECT_FALSE(SetRowPing(rows, "a.example", 4078, 30));
    EXPECT_FALSE(SetRowPing(rows, "c.example", 4077, 30));
    EXPECT_EQ(Pings(rows), (std::vector<int>{30, kPending, kPending}));
}

TEST(ServerRows, RowTexts) {
    ServerRow live = Row("North", 42);
    live.entry.description = "Races at 5";
    live.entry.status = "2/3";
    struct Case {
        ServerRow row;
        std::string text;
    } const cases[] = {
        {live, "North  Races at 5 2/3  42 ms"},
        {Row("South", kPending), "South    ..."},
        {Row("West", kGone), "West    -"},
        {Row("East", kPending, false), "East    version 1.0"},
    };
    for (const Case& c : cases) EXPECT_EQ(RowText(c.row), c.text);
}

}  // namespace
