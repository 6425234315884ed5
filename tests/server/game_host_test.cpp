#include "server/game_host.h"

#include <gtest/gtest.h>

#include "net/frame.h"
#include "net/protocol.h"
#include "server_thread.h"
#include "support/report_capture.h"

namespace {

// The server on its own thread; the test's clients are blocking loopback sockets.
class HostTest : public ::testing::Test {
protected:
    void StartServer(const std::string& listen) {
        config.listen = listen;
        config.port = 0;
        host = std::make_unique<GameHost>(io, config);
        std::string error;
        ASSERT_TRUE(host->Start(error)) << error;
        server.Run();
    }
    void TearDown() override {
        if (!server.Running()) return;
        server.On([this] {
            host->Stop();
            return 0;
        });
        server.Join();
    }
    asio::ip::tcp::socket Connect(const std::string& address) {
        asio::ip::tcp::socket socket(client);
        socket.connect({asio::ip::make_address(address), static_cast<uint16_t>(host->ListenPort())});
        LimitReads(socket);
        return socket;
    }
    static void Send(asio::ip::tcp::socket& socket, MessageKind kind, const Payload& payload = {}) {
        std::vector<uint8_t> frame;
        AppendFrame(frame, ToByte(kind), payload.data(), payload.size());
        asio::write(socket, asio::buffer(frame));
    }
    // The next frame from the server: kind and payload; kind 0 when the server closed
    // the connection (or said nothing in time).
    static std::pair<uint8_t, std::vector<uint8_t>> Next(asio::ip::tcp::socket& socket) {
        uint8_t head[3];
        asio::error_code ec;
        asio::read(socket, asio::buffer(head), ec);
        if (ec) return {0, {}};
        std::vector<uint8_t> payload(static_cast<size_t>(head[0] | head[1] << 8) - 3);
        asio::read(socket, asio::buffer(payload), ec);
        if (ec) return {0, {}};
        return {head[2], payload};
    }
    static bool LogIn(asio::ip::tcp::socket& socket, const std::string& name) {
        Send(socket, MessageKind::kLogin, EncodeText(name));
        return Next(socket) == std::make_pair(ToByte(MessageKind::kLogin), std::vector<uint8_t>{kStatusAccepted});
    }

    ReportCapture log;
    ServerConfig config;
    ServerThread server;
    asio::io_context& io = server.io;
    asio::io_context client;
    std::unique_ptr<GameHost> host;
};

// Each case: where the server listens, where the client connects.
class HostAddressTest : public HostTest, public ::testing::WithParamInterface<std::pair<const char*, const char*>> {};

TEST_P(HostAddressTest, ClientsLogInAndPing) {
    StartServer(GetParam().first);
    asio::ip::tcp::socket socket = Connect(GetParam().second);
    EXPECT_TRUE(LogIn(socket, "Alice"));
    Send(socket, MessageKind::kPing, EncodeInt(42));
    const auto reply = Next(socket);
    EXPECT_EQ(reply.first, ToByte(MessageKind::kPing));
    PingReply ping;
    EXPECT_TRUE(DecodePingReply(reply.second.data(), reply.second.size(), ping));
    EXPECT_EQ(ping.client_time, 42);
}

INSTANTIATE_TEST_SUITE_P(IPv4AndIPv6, HostAddressTest,
                         ::testing::Values(std::make_pair("", "127.0.0.1"), std::make_pair("", "::1")));

TEST_F(HostTest, FramesOfBadLengthCloseOnlyTheirConnection) {
    StartServer("127.0.0.1");
    asio::ip::tcp::socket good = Connect("127.0.0.1");
    ASSERT_TRUE(LogIn(good, "Alice"));
    asio::ip::tcp::socket bad = Connect("127.0.0.1");
    asio::write(bad, asio::buffer(std::vector<uint8_t>{0x01, 0x10, 1}));  // 4097 bytes: past the limit
    EXPECT_EQ(Next(bad).first, 0);
    Send(good, MessageKind::kPing, EncodeInt(1));
    EXPECT_EQ(Next(good).first, ToByte(MessageKind::kPing));
    EXPECT_EQ(server.On([this] { return host->ConnectionCount(); }), 1u);
}

TEST_F(HostTest, OneAddressGetsOnlyItsShareOfConnections) {
    config.maxPerAddress = 2;
    StartServer("127.0.0.1");
    asio::ip::tcp::socket first = Connect("127.0.0.1");
    asio::ip::tcp::socket second = Connect("127.0.0.1");
    ASSERT_TRUE(LogIn(first, "A"));
    ASSERT_TRUE(LogIn(second, "B"));
    asio::ip::tcp::socket third = Connect("127.0.0.1");
    EXPECT_EQ(Next(third).first, 0);
    first.close();
    // Once the first is gone there is room again; retry until the server saw it go.
    bool admitted = false;
    for (int attempt = 0; attempt < 50 && !admitted; ++attempt) {
        asio::ip::tcp::socket again = Connect("127.0.0.1");
        admitted = LogIn(again, "C" + std::to_string(attempt));
    }
    EXPECT_TRUE(admitted);
}

TEST_F(HostTest, AClientThatStopsReadingIsDroppedAndTheOthersPlayOn) {
    config.sendQueueBytes = 4096;
    config.intake.framesPerSecond = 1e9;
    config.intake.frameBurst = 1e9;
    StartServer("127.0.0.1");
    asio::ip::tcp::socket sender = Connect("127.0.0.1");
    asio::ip::tcp::socket sleeper(client);
    sleeper.open(asio::ip::tcp::v4());
    sleeper.set_option(asio::socket_base::receive_buffer_size(4096));
    sleeper.connect({asio::ip::make_address("127.0.0.1"), static_cast<uint16_t>(host->ListenPort())});
    ASSERT_TRUE(LogIn(sender, "Sender"));
    Send(sleeper, MessageKind::kLogin, EncodeText("Sleeper"));

    CreateRequest create;
    create.game = {2, 1, 0, 0, "Canyon", "", 0};
    create.names = {"Sender"};
    Send(sender, MessageKind::kCreateGame, EncodeCreateRequest(create));
    const auto created = Next(sender);
    CreateReply reply;
    ASSERT_TRUE(DecodeCreateReply(created.second.data(), created.second.size(), reply));
    Send(sleeper, MessageKind::kJoinGame, EncodeJoinRequest(JoinRequest{reply.game_id, false, {"Sleeper"}}));
    ASSERT_EQ(Next(sender).first, ToByte(MessageKind::kPlayerJoined));  // the creator's own slot
    ASSERT_EQ(Next(sender).first, ToByte(MessageKind::kPlayerJoined));  // the sleeper

    std::vector<uint8_t> batch;
    std::vector<uint8_t> update(kPlayerUpdateShortSize, 0);
    update[0] = 1 << 4;
    for (int i = 0; i < 1000; ++i) AppendFrame(batch, ToByte(MessageKind::kPlayerUpdate), update.data(), update.size());
    size_t connections = 2;
    for (int round = 0; round < 1000 && connections == 2; ++round) {
        asio::write(sender, asio::buffer(batch));
        Send(sender, MessageKind::kPing, EncodeInt(round));
        ASSERT_EQ(Next(sender).first, ToByte(MessageKind::kPing));
        connections = server.On([this] { return host->ConnectionCount(); });
    }
    EXPECT_EQ(connections, 1u);
    TearDown();  // the log is read once the server thread is done writing it
    EXPECT_TRUE(log.Contains("Client from 127.0.0.1 does not read, dropped"));
}

}  // namespace
