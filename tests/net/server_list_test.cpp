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
        std::vector<std::string> foreign;  // servers of another version, kept apart
    } const cases[] = {
        {"plain", List("0.9b;h1;4077;One;first\n0.9b;h2;4078;Two;second\n"), Status::kOk, {"One", "Two"}, {}},
        {"markers share a line feed", List(""), Status::kOk, {}, {}},
        {"one blank line", List("\n"), Status::kOk, {}, {}},
        {"text after the list", "x" + List("0.9b;h;1;A;d\n") + "trailer", Status::kOk, {"A"}, {}},
        {"carriage returns", List("0.9b;h;1;A;d\r\n0.9b;h;2;B;e\r\n"), Status::kOk, {"A", "B"}, {}},
        {"version is a prefix", List("0.9;h;1;A;d\n"), Status::kOk, {}, {"A"}},
        {"no end marker", "\nSTART_OF_LIST\n0.9b;h;1;A;d\n", Status::kNoMarkers, {}, {}},
        {"end before start", "\nEND_OF_LIST\nSTART_OF_LIST\n", Status::kNoMarkers, {}, {}},
        {"markers without line feeds", "START_OF_LIST\n0.9b;h;1;A;d\nEND_OF_LIST", Status::kNoMarkers, {}, {}},
        {"empty host", List("0.9b;h;1;A;d\n1.0;h;1;N;d\n0.9b;;4077;B;e\n"), Status::kBadEntry, {}, {}},
        {"port is no number", List("0.9b;h;http;B;e\n"), Status::kBadEntry, {}, {}},
    };
    for (const Case& c : cases) {
        const ServerListResult result = ParseServerList(c.document);
        EXPECT_EQ(result.status, c.status) << c.name;
        EXPECT_EQ(Names(result), c.names) << c.name;
        std::vector<std::string> foreign;
        for (const ServerEntry& entry : result.foreign) foreign.push_back(entry.name);
        EXPECT_EQ(foreign, c.foreign) << c.name;
    }
}

TEST(ServerList, AnEntryKeepsItsFieldsAndGetsADisplayLine) {
    const ServerListResult result = ParseServerList(List("0.9b;game.example;4077;Lobby;Open to all;old display;x\n"));
    EXPECT_EQ(Fields(result.entries), std::vector<std::string>{"0.9b|game.example|4077|4077|Lobby|Open to all|old "
                                                               "display;x|Lobby game.example 4077 Open to all"});
}

// The cache file is a list document: what it is written from is what it reads back as.
TEST(ServerList, AListDocumentReadsBackAsItsEntries) {
    const std::vector<std::vector<std::string>> lists = {
        {},
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
