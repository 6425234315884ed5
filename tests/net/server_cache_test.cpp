#include "net/server_cache.h"

#include <gtest/gtest.h>

#include <string>

#include "log_lines.h"
#include "support/temp_dir.h"

namespace {

ServerEntry Entry(const std::string& name, const std::string& version) {
    ServerEntry entry;
    entry.name = name;
    entry.version = version;
    entry.host = "127.0.0.1";
    entry.port_text = "4077";
    entry.port = 4077;
    entry.description = "evening races";
    entry.status = "1/2";
    return entry;
}

TEST(ServerCache, LivesBesideTheConfigurationFile) {
    EXPECT_EQ(ServerCachePath("kav.ini"), "servers.cache");
    EXPECT_EQ(ServerCachePath("/home/ann/.kav/kav.ini"), "/home/ann/.kav/servers.cache");
}

TEST(ServerCache, MissingDamagedOrHugeFilesAreIgnored) {
    struct Case {
        const char* name;
        std::string content;  // empty: no file at all
        std::string logged;
    } const cases[] = {
        {"missing", "", ""},
        {"no markers", "0.9b;h;1;A;d\n", "srv w Server cache CACHE is damaged, ignored"},
        {"huge", "\nSTART_OF_LIST\n" + std::string(kMaxServerCacheBytes, '\n') + "END_OF_LIST\n",
         "srv w Server cache CACHE is too big, ignored"},
    };
    for (const Case& c : cases) {
        TempDir dir;
        const std::string path = dir.File("servers.cache");
        if (!c.content.empty()) dir.Write("servers.cache", c.content);
        ReportCapture log;
        ServerListResult list;
        list.entries.push_back(Entry("stale", "0.9b"));
        EXPECT_FALSE(LoadServerCache(path, list)) << c.name;
        EXPECT_TRUE(list.entries.empty() && list.foreign.empty()) << c.name;
        std::string logged = c.logged;
        const size_t at = logged.find("CACHE");
        if (at != std::string::npos) logged.replace(at, 5, path);
        if (!logged.empty()) {
            EXPECT_TRUE(HasLine(log, logged)) << c.name << "\n" << log.Joined();
        }
    }
}

}  // namespace
