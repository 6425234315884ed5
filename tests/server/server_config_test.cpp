#include "server/server_config.h"

#include <gtest/gtest.h>

namespace {

TEST(ServerConfig, TheDefaultTextReadsBackAsTheDefaults) {
    ServerConfig config;
    config.port = 1;
    config.maxPerAddress = 99;
    std::string error;
    ASSERT_TRUE(ParseServerConfig(DefaultConfigText(), config, error)) << error;
    const ServerConfig defaults;
    EXPECT_EQ(config.port, defaults.port);
    EXPECT_EQ(config.maxPerAddress, defaults.maxPerAddress);
    EXPECT_EQ(config.lobby.rejoinWaitMs, defaults.lobby.rejoinWaitMs);
    EXPECT_TRUE(config.gameRole);
    EXPECT_FALSE(config.directoryRole);
}

TEST(ServerConfig, ValuesOutOfRangeAreRefusedByName) {
    const struct {
        const char* text;
        const char* error;
    } cases[] = {
        {"[Server]\nPort=70000\n", "bad value for Server/Port: 70000"},
        {"[Limits]\nMaxPerAddress=four\n", "bad value for Limits/MaxPerAddress: four"},
        {"[Server]\nRoles=4\n", "bad value for Server/Roles: 4"},
    };
    for (const auto& c : cases) {
        ServerConfig config;
        std::string error;
        EXPECT_FALSE(ParseServerConfig(c.text, config, error));
        EXPECT_EQ(error, c.error);
    }
}

TEST(ServerConfig, TheCommandLineOverridesTheFile) {
    ServerConfig config;
    std::string error;
    ASSERT_TRUE(ParseServerConfig("[Server]\nPort=5000\nName=From file\nRoles=3\n[StaticServers]\n1=0.9b;h;1;n;d;\n",
                                  config, error));
    EXPECT_TRUE(config.directoryRole);
    EXPECT_EQ(config.staticServers, std::vector<std::string>{"0.9b;h;1;n;d;"});
    const char* argv[] = {"kav-server", "--port", "0", "--name", "Night races", "--announce", "[::1]:8080"};
    CommandLine line;
    ASSERT_TRUE(ParseCommandLine(7, argv, line, config, error)) << error;
    EXPECT_EQ(config.port, 0);
    EXPECT_EQ(config.name, "Night races");
    std::string host;
    int port = 0;
    ASSERT_TRUE(SplitHostPort(config.announceTo, host, port));
    EXPECT_EQ(host, "::1");
    EXPECT_EQ(port, 8080);

    const char* directory[] = {"kav-server", "--directory", "--port", "9000"};
    ServerConfig alone;
    ASSERT_TRUE(ParseCommandLine(4, directory, line, alone, error));
    EXPECT_FALSE(alone.gameRole);
    EXPECT_EQ(alone.directoryPort, 9000);

    const char* bad[][3] = {{"kav-server", "--port", "65536"}, {"kav-server", "--bogus", "1"}};
    for (const auto& args : bad) EXPECT_FALSE(ParseCommandLine(3, args, line, alone, error)) << args[1];
}

}  // namespace
