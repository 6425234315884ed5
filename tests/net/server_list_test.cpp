#include "net/server_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> Names(const ServerListResult& result) {
    std::vector<std::string> names;
    for (const ServerEntry& entry : result.entries) names.push_back(entry.name);
    return names;
}

TEST(ServerList, DocumentsAndWhatTheyList) {
    struct Case {
        const char* name;
        std::string document;
        ServerListStatus status;
        std::vector<std::string> names;
        size_t skipped;
    } const cases[] = {
        {"plain",
         "\nSTART_OF_LIST\n0.9b;h1;4077;One;first\n0.9b;h2;4078;Two;second\nEND_OF_LIST\n",
         ServerListStatus::kOk,
         {"One", "Two"},
         0},
        {"headers before",
         "HTTP/1.0 200 OK\nContent-Type: text/plain\n\nSTART_OF_LIST\n0.9b;h;1;A;d\nEND_OF_LIST\n",
         ServerListStatus::kOk,
         {"A"},
         0},
        {"markers share a line feed", "\nSTART_OF_LIST\nEND_OF_LIST\n", ServerListStatus::kOk, {}, 0},
        {"one blank line", "\nSTART_OF_LIST\n\nEND_OF_LIST\n", ServerListStatus::kOk, {}, 0},
        {"text after the list",
         "x\nSTART_OF_LIST\n0.9b;h;1;A;d\nEND_OF_LIST\ntrailer",
         ServerListStatus::kOk,
         {"A"},
         0},
        {"carriage returns",
         "\nSTART_OF_LIST\n0.9b;h;1;A;d\r\n0.9b;h;2;B;e\r\nEND_OF_LIST\n",
         ServerListStatus::kOk,
         {"A", "B"},
         0},
        {"last character of the version differs",
         "\nSTART_OF_LIST\n0.9c;h;1;A;d\n0.9b;h;2;B;e\nEND_OF_LIST\n",
         ServerListStatus::kOk,
         {"B"},
         1},
        {"version is a prefix", "\nSTART_OF_LIST\n0.9;h;1;A;d\nEND_OF_LIST\n", ServerListStatus::kOk, {}, 1},
        {"error marker", "\nSTART_OF_LIST\n0.9b;h;1;A;d\nEND_OF_LIST\n\nERROR\n", ServerListStatus::kErrorReply, {}, 0},
        {"no markers", "<html>moved</html>", ServerListStatus::kNoMarkers, {}, 0},
        {"no end marker", "\nSTART_OF_LIST\n0.9b;h;1;A;d\n", ServerListStatus::kNoMarkers, {}, 0},
        {"end before start", "\nEND_OF_LIST\nSTART_OF_LIST\n", ServerListStatus::kNoMarkers, {}, 0},
        {"markers without line feeds", "START_OF_LIST\n0.9b;h;1;A;d\nEND_OF_LIST", ServerListStatus::kNoMarkers, {}, 0},
        {"empty", "", ServerListStatus::kNoMarkers, {}, 0},
        {"empty host",
         "\nSTART_OF_LIST\n0.9b;h;1;A;d\n0.9b;;4077;B;e\nEND_OF_LIST\n",
         ServerListStatus::kBadEntry,
         {},
         0},
        {"empty port", "\nSTART_OF_LIST\n0.9b;h;;B;e\nEND_OF_LIST\n", ServerListStatus::kBadEntry, {}, 0},
        {"port is no number", "\nSTART_OF_LIST\n0.9b;h;http;B;e\nEND_OF_LIST\n", ServerListStatus::kBadEntry, {}, 0},
        {"port too large", "\nSTART_OF_LIST\n0.9b;h;70000;B;e\nEND_OF_LIST\n", ServerListStatus::kBadEntry, {}, 0},
        {"version only", "\nSTART_OF_LIST\n0.9b\nEND_OF_LIST\n", ServerListStatus::kBadEntry, {}, 0},
    };
    for (const Case& c : cases) {
        const ServerListResult result = ParseServerList(c.document);
        EXPECT_EQ(result.status, c.status) << c.name;
        EXPECT_EQ(Names(result), c.names) << c.name;
        EXPECT_EQ(result.skipped.size(), c.skipped) << c.name;
    }
}

TEST(ServerList, AnEntryKeepsItsFieldsAndGetsADisplayLine) {
    const ServerListResult result =
        ParseServerList("\nSTART_OF_LIST\n0.9b;game.example;4077;Lobby;Open to all;old display;x\nEND_OF_LIST\n");
    ASSERT_EQ(result.entries.size(), 1u);
    const ServerEntry& entry = result.entries[0];
    EXPECT_EQ(entry.version, "0.9b");
    EXPECT_EQ(entry.host, "game.example");
    EXPECT_EQ(entry.port_text, "4077");
    EXPECT_EQ(entry.port, 4077);
    EXPECT_EQ(entry.name, "Lobby");
    EXPECT_EQ(entry.description, "Open to all");
    EXPECT_EQ(entry.display, "Lobby game.example 4077 Open to all");
}

TEST(ServerList, TheBadLineAndTheSkippedLinesAreReported) {
    const ServerListResult result =
        ParseServerList("\nSTART_OF_LIST\n0.8;a;1;A;d\n0.9b;h;1;B;e\n0.9b;;2;C;f\nEND_OF_LIST\n");
    EXPECT_EQ(result.status, ServerListStatus::kBadEntry);
    EXPECT_EQ(result.bad_line, "0.9b;;2;C;f");
    EXPECT_TRUE(result.entries.empty());
    ASSERT_EQ(result.skipped.size(), 1u);
    EXPECT_EQ(result.skipped[0].version, "0.8");
    EXPECT_EQ(result.skipped[0].line, "0.8;a;1;A;d");
}

TEST(ServerList, ServersOfAnotherVersionAreKeptAsForeignEntries) {
    const ServerListResult result =
        ParseServerList("\nSTART_OF_LIST\n1.0;a;1;New;d;2/5\n0.9b;h;2;Ours;e;0/1\nEND_OF_LIST\n");
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
        const ServerListResult first = ParseServerList("\nSTART_OF_LIST\n" + body + "END_OF_LIST\n");
        std::vector<ServerEntry> all = first.entries;
        all.insert(all.end(), first.foreign.begin(), first.foreign.end());
        const ServerListResult again = ParseServerList(ServerListDocument(all));
        ASSERT_EQ(again.status, ServerListStatus::kOk) << body;
        ASSERT_EQ(again.entries.size(), first.entries.size()) << body;
        ASSERT_EQ(again.foreign.size(), first.foreign.size()) << body;
        for (size_t i = 0; i < all.size(); ++i) {
            const ServerEntry& back =
                i < again.entries.size() ? again.entries[i] : again.foreign[i - again.entries.size()];
            EXPECT_EQ(back.host + ";" + back.port_text + ";" + back.name + ";" + back.description + ";" + back.status +
                          ";" + back.version,
                      all[i].host + ";" + all[i].port_text + ";" + all[i].name + ";" + all[i].description + ";" +
                          all[i].status + ";" + all[i].version)
                << body;
        }
    }
}

}  // namespace
