#include "net/server_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string List(const std::string& lines) { return "\nSTART_OF_LIST\n" + lines + "END_OF_LIST\n"; }

// Every field of each entry, one line an entry.
std::vector<std::string> Fields(const std::vector<ServerEntry>& entries) {
    std::vector<std::string> lines;
    for (const ServerEntry& e : entries)
        lines.push_back(e.version + "|" + e.host + "|" + e.port_text + "|" + std::to_string(e.port) + "|" + e.name +
                        "|" + e.description + "|" + e.status + "|" + e.display);
    return lines;
}

std::vector<std::string> Names(const ServerListResult& result) {
    std::vector<std::string> names;
    for (const ServerEntry& entry : result.entries) names.push_back(entry.name);
    return names;
}

TEST(ServerList, DocumentsAndWhatTheyList) {
    using Status = ServerListStatus;
    struct Case {
        const char* name;
        std::string document;
        ServerListStatus status;
        std::vector<std::string> names;
        size_t skipped;
    } const cases[] = {
        {"plain", List("0.9b;h1;4077;One;first\n0.9b;h2;4078;Two;second\n"), Status::kOk, {"One", "Two"}, 0},
        {"headers", "HTTP/1.0 200 OK\nContent-Type: text/plain\n" + List("0.9b;h;1;A;d\n"), Status::kOk, {"A"}, 0},
        {"markers share a line feed", List(""), Status::kOk, {}, 0},
        {"one blank line", List("\n"), Status::kOk, {}, 0},
        {"text after the list", "x" + List("0.9b;h;1;A;d\n") + "trailer", Status::kOk, {"A"}, 0},
        {"carriage returns", List("0.9b;h;1;A;d\r\n0.9b;h;2;B;e\r\n"), Status::kOk, {"A", "B"}, 0},
        {"last character of the version differs", List("0.9c;h;1;A;d\n0.9b;h;2;B;e\n"), Status::kOk, {"B"}, 1},
        {"version is a prefix", List("0.9;h;1;A;d\n"), Status::kOk, {}, 1},
        {"error marker", List("0.9b;h;1;A;d\n") + "\nERROR\n", Status::kErrorReply, {}, 0},
        {"no markers", "<html>moved</html>", Status::kNoMarkers, {}, 0},
        {"no end marker", "\nSTART_OF_LIST\n0.9b;h;1;A;d\n", Status::kNoMarkers, {}, 0},
        {"end before start", "\nEND_OF_LIST\nSTART_OF_LIST\n", Status::kNoMarkers, {}, 0},
        {"markers without line feeds", "START_OF_LIST\n0.9b;h;1;A;d\nEND_OF_LIST", Status::kNoMarkers, {}, 0},
        {"empty", "", Status::kNoMarkers, {}, 0},
        {"empty host", List("0.9b;h;1;A;d\n0.9b;;4077;B;e\n"), Status::kBadEntry, {}, 0},
        {"empty port", List("0.9b;h;;B;e\n"), Status::kBadEntry, {}, 0},
        {"port is no number", List("0.9b;h;http;B;e\n"), Status::kBadEntry, {}, 0},
        {"port too large", List("0.9b;h;70000;B;e\n"), Status::kBadEntry, {}, 0},
        {"version only", List("0.9b\n"), Status::kBadEntry, {}, 0},
    };
    for (const Case& c : cases) {
        const ServerListResult result = ParseServerList(c.document);
        EXPECT_EQ(result.status, c.status) << c.name;
        EXPECT_EQ(Names(result), c.names) << c.name;
        EXPECT_EQ(result.skipped.size(), c.skipped) << c.name;
    }
}

TEST(ServerList, AnEntryKeepsItsFieldsAndGetsADisplayLine) {
    const ServerListResult result = ParseServerList(List("0.9b;game.example;4077;Lobby;Open to all;old display;x\n"));
    EXPECT_EQ(Fields(result.entries), std::vector<std::string>{"0.9b|game.example|4077|4077|Lobby|Open to all|old "
                                                               "display;x|Lobby game.example 4077 Open to all"});
}

TEST(ServerList, TheBadLineAndTheSkippedLinesAreReported) {
    const ServerListResult result = ParseServerList(List("0.8;a;1;A;d\n0.9b;h;1;B;e\n0.9b;;2;C;f\n"));
    EXPECT_EQ(result.status, ServerListStatus::kBadEntry);
    EXPECT_EQ(result.bad_line, "0.9b;;2;C;f");
    EXPECT_TRUE(result.entries.empty());
    ASSERT_EQ(result.skipped.size(), 1u);
    EXPECT_EQ(result.skipped[0].version, "0.8");
    EXPECT_EQ(result.skipped[0].line, "0.8;a;1;A;d");
}

TEST(ServerList, ServersOfAnotherVersionAreKeptAsForeignEntries) {
    const ServerListResult result = ParseServerList(List("1.0;a;1;New;d;2/5\n0.9b;h;2;Ours;e;0/1\n"));
    ASSERT_EQ(result.foreign.size(), 1u);
    EXPECT_EQ(result.foreign[0].name, "New");
    EXPECT_EQ(result.foreign[0].version, "1.0");
    ASSERT_EQ(result.entries.size(), 1u);
    EXPECT_EQ(result.entries[0].status, "0/1") << "the live status is the rest of the line";
}

// The cache file is a list document: what it is written from is what it reads back as.
TEST(ServerList, AListDocumentReadsBackAsItsEntries) {
    const std::vector<std::vector<std::string>> lists = {
        {},
        {"0.9b;h;4077;One;first;0/0"},
        {"0.9b;h;4077;One;first;1/2", "0.8;old.example;99;Old;;", "0.9b;::1;4078;Six;v6 server;0/3"},
    };
    for (const std::vector<std::string>& lines : lists) {
        std::string body;
        for (const std::string& line : lines) body += line + "\n";
        const ServerListResult first = ParseServerList(List(body));
        std::vector<ServerEntry> all = first.entries;
        all.insert(all.end(), first.foreign.begin(), first.foreign.end());
        const ServerListResult again = ParseServerList(ServerListDocument(all));
        ASSERT_EQ(again.status, ServerListStatus::kOk) << body;
        EXPECT_EQ(Fields(again.entries), Fields(first.entries)) << body;
        EXPECT_EQ(Fields(again.foreign), Fields(first.foreign)) << body;
    }
}

}  // namespace
