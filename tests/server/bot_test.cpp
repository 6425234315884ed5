#include "server/bot.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

#include "server/game_host.h"
#include "server_thread.h"
#include "support/report_capture.h"

namespace {

// Two bots find each other through the lobby list, start a race and see each other's
// updates, on the same loopback server the game would use.
TEST(Bot, APairFindsEachOtherAndRaces) {
    ReportCapture log;
    ServerThread server;
    ServerConfig config;
    config.listen = "127.0.0.1";
    config.port = 0;
    GameHost host(server.io, config);
    std::string error;
    ASSERT_TRUE(host.Start(error)) << error;

    std::atomic<int> relayed{0};
    BotSettings settings;
    settings.port = host.ListenPort();
    settings.onRelayed = [&relayed](int64_t micros) {
        if (micros >= 0) ++relayed;
    };
    BotSettings creator = settings;
    creator.name = "Bot 1";
    creator.role = BotSettings::Role::kCreate;
    BotSettings joiner = settings;
    joiner.name = "Bot 2";
    joiner.role = BotSettings::Role::kJoin;
    joiner.partner = "Bot 1";
    Bot first(server.io, creator);
    Bot second(server.io, joiner);
    first.Start();
    second.Start();
    server.Run();

    // The joiner looks at the list twice a second: allow it a few looks.
    bool racing = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!(racing && relayed >= 2) && std::chrono::steady_clock::now() < deadline) {
        racing = server.On([&] { return first.Racing() && second.Racing(); });
    }
    EXPECT_TRUE(racing);
    EXPECT_GE(relayed.load(), 2);
    server.On([&] {
        first.Stop();
        second.Stop();
        host.Stop();
        return 0;
    });
    server.Join();
    EXPECT_TRUE(log.Contains("Game 1 started with 2 players"));
}

}  // namespace
