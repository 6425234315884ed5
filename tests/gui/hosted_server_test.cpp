#include "gui/hosted_server.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/eventually.h"
#include "support/executable_script.h"
#include "support/report_capture.h"

namespace {

// Polls as the frames do until the start has an outcome.
HostedServer::State Settle(HostedServer& server) {
    HostedServer::State state = HostedServer::State::kStarting;
    Eventually([&] { return (state = server.Poll()) != HostedServer::State::kStarting; });
    return state;
}

}  // namespace

TEST(HostedServer, TheServerSaysWhereItListensOrWhyNot) {
    struct Case {
        const char* body;
        HostedServer::State state;
        int port;
        const char* failure;
    } const cases[] = {
        {"[ \"$*\" = '--port 0' ] || exit 9; echo listening :: 40123; exec sleep 30", HostedServer::State::kListening,
         40123, ""},
        {"echo starting up; echo listening 0.0.0.0 5000; exec sleep 30", HostedServer::State::kListening, 5000, ""},
        {"echo listening :: 0; exit 1", HostedServer::State::kFailed, 0,
         "The game server exited with status 1 before it was ready"},
        {"kill -9 $$", HostedServer::State::kFailed, 0, "The game server was killed by signal 9 before it was ready"},
        {"printf '%0400d' 0; exec sleep 30", HostedServer::State::kFailed, 0,
         "The game server wrote something else than where it listens"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.body);
        ReportCapture log;
        ExecutableScript program(c.body);
        HostedServer server(program.Path(), [] { return int64_t{0}; });
        server.Start();
        EXPECT_EQ(Settle(server), c.state);
        EXPECT_EQ(server.Port(), c.port);
        EXPECT_EQ(server.Failure(), c.failure);
    }
}

TEST(HostedServer, ASilentServerIsGivenUpAtTheTimeLimit) {
    ReportCapture log;
    ExecutableScript program("exec sleep 30");
    int64_t now = 1000;
    HostedServer server(program.Path(), [&now] { return now; });
    server.Start();
    now += HostedServer::kStartTimeLimitMs - 1;
    EXPECT_EQ(server.Poll(), HostedServer::State::kStarting);
    now += 1;
    EXPECT_EQ(server.Poll(), HostedServer::State::kFailed);
    EXPECT_EQ(server.Failure(), "The game server did not say where it listens within 5 seconds");
}

TEST(HostedServer, EachServerIsAnnouncedOnceOnEveryLanAddressAndStopForgetsIt) {
    ReportCapture log;
    ExecutableScript program("echo listening :: 40123; exec sleep 30");
    HostedServer server(program.Path(), [] { return int64_t{0}; });
    EXPECT_FALSE(server.TakeNewlyListening());
    server.Start();
    ASSERT_EQ(Settle(server), HostedServer::State::kListening);
    EXPECT_EQ(server.AnnouncementLines({}), std::vector<std::string>{"Hosting on localhost:40123"});
    EXPECT_EQ(server.AnnouncementLines({"127.0.0.2", "::1"}),
              (std::vector<std::string>{"Hosting on 127.0.0.2:40123", "Hosting on [::1]:40123"}));
    EXPECT_TRUE(server.TakeNewlyListening());
    EXPECT_FALSE(server.TakeNewlyListening());
    server.Start();
    ASSERT_EQ(Settle(server), HostedServer::State::kListening);
    EXPECT_TRUE(server.TakeNewlyListening()) << "a new server is news again";
    server.Stop();
    EXPECT_EQ(server.GetState(), HostedServer::State::kIdle);
    EXPECT_FALSE(server.TakeNewlyListening());
}
