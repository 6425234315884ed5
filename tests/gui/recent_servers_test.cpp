#include "gui/recent_servers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/ini_file.h"

namespace {

IniFile SettingsWith(const std::string& text) {
    IniFile settings;
    settings.Parse(text);
    return settings;
}

}  // namespace

TEST(RecentServers, UnusableEntriesAreSkipped) {
    const std::string oversized = std::string(RecentServers::kMaxAddressLength, 'a') + ":1";
    // Server1 to Server9; the ninth is past the eight that are kept.
    const std::vector<std::string> entries{"alpha:4077", "",          "alpha:4077", "no-port", oversized,
                                           "bad host:1", "beta:5000", "\x01:1",     "gamma:1"};
    std::string text = "[RecentServers]\n";
    for (size_t i = 0; i < entries.size(); ++i) text += "Server" + std::to_string(i + 1) + "=" + entries[i] + "\n";
    EXPECT_EQ(RecentServers::Read(SettingsWith(text)).Addresses(),
              (std::vector<std::string>{"alpha:4077", "beta:5000"}));
    EXPECT_TRUE(RecentServers::Read(SettingsWith("")).Addresses().empty());
}

TEST(RecentServers, TheLatestComesFirstOnceAndEightAreKept) {
    struct Case {
        std::vector<std::string> before;
        std::string added;
        std::vector<std::string> after;
    } const cases[] = {
        {{"a:1", "b:2"}, "c:3", {"c:3", "a:1", "b:2"}},
        {{"a:1", "b:2", "c:3"}, "c:3", {"c:3", "a:1", "b:2"}},
        {{"a:1", "b:2"}, "no-port", {"a:1", "b:2"}},
        {{"1:1", "2:2", "3:3", "4:4", "5:5", "6:6", "7:7", "8:8"},
         "9:9",
         {"9:9", "1:1", "2:2", "3:3", "4:4", "5:5", "6:6", "7:7"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.added);
        RecentServers recent;
        for (auto it = c.before.rbegin(); it != c.before.rend(); ++it) recent.Add(*it);
        ASSERT_EQ(recent.Addresses(), c.before);
        recent.Add(c.added);
        EXPECT_EQ(recent.Addresses(), c.after);
    }
}

TEST(RecentServers, WhatIsWrittenReadsBackAndShorterListsLeaveNoOldEntries) {
    IniFile settings = SettingsWith("[General]\nPlayer1Name=ann\n");
    RecentServers three;
    for (const char* address : {"c:3", "b:2", "a:1"}) three.Add(address);
    three.Write(settings);
    EXPECT_EQ(RecentServers::Read(settings).Addresses(), three.Addresses());

    RecentServers one;
    one.Add("z:9");
    one.Write(settings);
    EXPECT_EQ(RecentServers::Read(settings).Addresses(), one.Addresses());
    EXPECT_EQ(settings.GetString("General", "Player1Name"), "ann");
}
