#include "server/directory_host.h"

#include <gtest/gtest.h>

#include "server/announcer.h"
#include "server/game_host.h"
#include "server_thread.h"
#include "support/report_capture.h"

namespace {

// A directory and a game server that announces itself to it, over loopback, on one
// server thread; the test asks over blocking sockets whose reads give up after 5 s.
class DirectoryHostTest : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        config.listen = GetParam();
        config.port = 0;
        config.directoryPort = 0;
        directory = std::make_unique<DirectoryHost>(io, config);
        game = std::make_unique<GameHost>(io, config);
        std::string error;
        ASSERT_TRUE(directory->Start(error)) << error;
        ASSERT_TRUE(game->Start(error)) << error;
        const std::string host =
            config.listen.find(':') == std::string::npos ? config.listen : "[" + config.listen + "]";
        config.announceTo = host + ":" + std::to_string(directory->ListenPort());
        announcer = std::make_unique<Announcer>(io, config, game->ListenPort(), [] { return std::string("0/0"); });
        ASSERT_TRUE(announcer->Start(error)) << error;
        server.Run();
    }
    void TearDown() override {
        if (!server.Running()) return;
        server.On([this] {
            game->Stop();
            directory->Stop();
            return 0;
        });
        server.Join();
    }
    // Waits, in a bounded number of turns of the server thread, for the listed count.
    bool ListedBecomes(size_t count) {
        for (int turn = 0; turn < 20000; ++turn) {
            if (server.On([this] { return directory->GetDirectory().ListedCount(); }) == count) return true;
        }
        return false;
    }
    std::string Ask(const std::string& request) {
        asio::io_context client;
        asio::ip::tcp::socket socket(client);
        socket.connect({asio::ip::make_address(config.listen), static_cast<uint16_t>(directory->ListenPort())});
        LimitReads(socket);
        asio::write(socket, asio::buffer(request));
        std::string reply;
        asio::error_code ec;
        asio::read(socket, asio::dynamic_buffer(reply), ec);
        return reply;
    }

    ReportCapture log;
    ServerConfig config;
    ServerThread server;
    asio::io_context& io = server.io;
    std::unique_ptr<DirectoryHost> directory;
    std::unique_ptr<GameHost> game;
    std::unique_ptr<Announcer> announcer;
};

TEST_P(DirectoryHostTest, AnAnnouncedServerIsPingedListedAndWithdrawn) {
    ASSERT_TRUE(ListedBecomes(1));
    const std::string line = "0.9b;" + config.listen + ";" + std::to_string(game->ListenPort()) + ";" + config.name +
                             ";" + config.description + ";0/0\n";
    const std::string bare = Ask("GET /cgi-bin/kav.pl\n");
    EXPECT_NE(bare.find("\nSTART_OF_LIST\n" + line + "END_OF_LIST\n"), std::string::npos) << bare;

    std::promise<void> withdrawn;
    server.On([&] {
        announcer->Withdraw([&withdrawn] { withdrawn.set_value(); });
        return 0;
    });
    withdrawn.get_future().wait();
    EXPECT_TRUE(ListedBecomes(0));
}

INSTANTIATE_TEST_SUITE_P(Loopback, DirectoryHostTest, ::testing::Values("127.0.0.1", "::1"));

}  // namespace
