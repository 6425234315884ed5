#include "net/net_manager.h"

#include <gtest/gtest.h>
#include <sys/socket.h>

#include <functional>
#include <string>
#include <vector>

#include "log_lines.h"
#include "loopback.h"
#include "net/frame.h"
#include "support/report_capture.h"

namespace {

std::string Frame(uint8_t kind, const std::string& payload) {
    std::vector<uint8_t> bytes;
    AppendFrame(bytes, kind, payload.data(), payload.size());
    return std::string(bytes.begin(), bytes.end());
}

std::string ReadAll(ByteQueue& queue) {
    std::string out;
    queue.ReadString(out, 0);
    return out;
}

// Pumps until `done` holds, for at most `turns` rounds of at most 10 ms each.
bool PumpUntil(NetManager& net, const std::function<bool()>& done, int turns = 200) {
    for (int turn = 0; turn < turns; ++turn) {
        if (done()) return true;
        net.Select(100);
        net.PumpWrites();
        net.PumpReads();
    }
    return done();
}

// A NetManager connected to a loopback listener, with the accepted peer socket.
class NetManagerTest : public testing::Test {
protected:
    explicit NetManagerTest(const NetOptions& options = NetOptions()) : net_(options) {}
    void SetUp() override {
        ASSERT_TRUE(listener_.Ok());
        net_.Startup();
        ASSERT_TRUE(net_.ConnectTo("127.0.0.1", listener_.Port()));
        peer_ = listener_.Accept();
        ASSERT_GE(peer_, 0);
    }
    void TearDown() override { CloseSocket(peer_); }

    size_t Received() { return net_.CurrentConnection()->receive.Unread(); }

    ReportCapture log_;
    Listener listener_;
    NetManager net_;
    int peer_ = -1;
};

TEST_F(NetManagerTest, QueuedMessagesReachThePeerFramed) {
    const std::string payload = "me>hello";
    EXPECT_TRUE(net_.SendMessage(net_.CurrentSocket(), 1, payload.data(), payload.size()));
    EXPECT_TRUE(net_.SendMessage(net_.CurrentSocket(), 7, nullptr, 0));
    ByteQueue buffer;
    buffer.Append("\x10\x00\x00\x00", 4);
    EXPECT_TRUE(net_.Send(13, buffer));
    EXPECT_EQ(buffer.Unread(), 0u);

    const std::string expected =
        Frame(1, payload) + std::string("\x03\x00\x07", 3) + Frame(13, std::string("\x10\0\0\0", 4));
    std::string got;
    ASSERT_TRUE(PumpUntil(net_, [&] { return net_.CurrentConnection()->send.Unread() == 0; }));
    ASSERT_TRUE(ReadExactly(peer_, got, expected.size()));
    EXPECT_EQ(got, expected);
}

TEST_F(NetManagerTest, APeerClosingMidFrameEndsTheConnectionWithoutAMessage) {
    ASSERT_TRUE(WriteAll(peer_, Frame(1, "whole") + Frame(1, "half").substr(0, 4)));
    CloseSocket(peer_);
    peer_ = -1;
    ASSERT_TRUE(PumpUntil(net_, [&] { return !net_.Connected(); }));
    // What arrived whole before the close is still there to read.
    ByteQueue message;
    ASSERT_TRUE(net_.NextMessage(message));
    EXPECT_EQ(ReadAll(message), Frame(1, "whole"));
    EXPECT_FALSE(net_.HasMessage()) << "the half frame is no message";
    EXPECT_EQ(net_.ConnectionCount(), 0);
    net_.PurgeClosed();
    EXPECT_EQ(net_.CurrentConnection(), nullptr);
    EXPECT_FALSE(net_.HasMessage());
}

TEST_F(NetManagerTest, AFrameThatCanNeverBeWholeDropsTheConnectionOnce) {
    ASSERT_TRUE(WriteAll(peer_, std::string("\x02\x00\x09\x01\x02", 5)));
    ASSERT_TRUE(PumpUntil(net_, [&] { return Received() == 5; }));
    EXPECT_FALSE(net_.HasMessage());  // which finds the frame bad and drops the connection
    EXPECT_FALSE(net_.Connected());
    EXPECT_FALSE(net_.HasMessage());
    int dropped = 0;
    for (const std::string& line : log_.Lines()) dropped += line.find("net E Bad message frame from socket") == 0;
    EXPECT_EQ(dropped, 1) << log_.Joined();
}

// The same with a peer that may leave only 100 bytes unread.
class SmallReceiveLimitTest : public NetManagerTest {
protected:
    SmallReceiveLimitTest() : NetManagerTest(NetOptions{5000, 100}) {}
};

TEST_F(SmallReceiveLimitTest, APeerThatFloodsPastTheReceiveLimitIsDropped) {
    ASSERT_TRUE(WriteAll(peer_, std::string(300, 'x')));
    EXPECT_TRUE(PumpUntil(net_, [&] { return !net_.Connected(); }));
    EXPECT_TRUE(net_.CurrentConnection()->failed);
    EXPECT_EQ(Received(), 0u);
    EXPECT_NE(log_.Joined().find("net E Too much unread data from socket"), std::string::npos);
}

TEST_F(NetManagerTest, AFailedSendDropsThePendingBytesAndTheNextMessageStartsClean) {
    CloseWithReset(peer_);
    peer_ = -1;
    const int socket = net_.CurrentSocket();
    const std::string payload(1000, 'u');
    // The reset may need a moment to arrive; until it has, sends still succeed.
    long sent = 0;
    for (int turn = 0; turn < 200 && sent >= 0; ++turn) {
        net_.SendMessage(socket, 3, payload.data(), payload.size());
        net_.Select(100);
        sent = net_.SendPending(socket);
    }
    ASSERT_LT(sent, 0);
    EXPECT_TRUE(HasLine(log_, "net E Could not send data to socket " + std::to_string(socket)));
    EXPECT_EQ(net_.CurrentConnection()->send.Unread(), 0u);
    net_.SendMessage(socket, 7, nullptr, 0);
    EXPECT_EQ(ReadAll(net_.CurrentConnection()->send), std::string("\x03\x00\x07", 3));
}

TEST(NetManager, NoMoreThan64SocketsAreWatched) {
    ReportCapture log;
    NetManager net;
    net.Startup();
    std::vector<int> peers;
    std::vector<int> ours;
    for (int i = 0; i < 65; ++i) {
        int pair[2];
        ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair), 0);
        net.AddConnection(pair[0], PeerAddress());
        ours.push_back(pair[0]);
        peers.push_back(pair[1]);
    }
    for (int peer : peers) ASSERT_TRUE(WriteAll(peer, "r"));
    for (int socket : ours) net.SendMessage(socket, 7, nullptr, 0);
    for (int turn = 0; turn < 10; ++turn) {
        net.Select(100);
        net.PumpWrites();
        net.PumpReads();
    }
    for (size_t i = 0; i < ours.size(); ++i) {
        SCOPED_TRACE(i);
        const bool watched = i < 64;
        EXPECT_EQ(net.FindConnection(ours[i])->receive.Unread(), watched ? 1u : 0u);
        EXPECT_EQ(ReadAvailable(peers[i]), watched ? std::string("\x03\x00\x07", 3) : std::string());
    }
    net.Shutdown();
    EXPECT_EQ(net.ConnectionCount(), 0);
    for (int peer : peers) CloseSocket(peer);
}

TEST(NetManager, ConnectFailuresAreLoggedAndLeaveNoConnection) {
    ClosedPort refused;
    const std::string refusedHost = "127.0.0.1:" + std::to_string(refused.Port());
    // A backlog of 0 holds one unaccepted connection; the next handshake is ignored.
    Listener full(false, 0);
    NetManager first;
    first.Startup();
    ASSERT_TRUE(first.ConnectTo("127.0.0.1", full.Port()));
    const std::string silentHost = "127.0.0.1:" + std::to_string(full.Port());
    struct Case {
        std::string host;
        std::string line;
        std::string failure;  // what the player is told
    } const cases[] = {
        {"[::1", "net E Could not find host: [::1", "Could not find host [::1"},
        {refusedHost, "net w Could not connect to the host: " + refusedHost, "Connection refused by " + refusedHost},
        {silentHost, "net w Could not connect to the host: " + silentHost, "No answer from " + silentHost},
    };
    NetOptions options;
    options.connect_time_limit_ms = 200;
    for (const Case& c : cases) {
        ReportCapture log;
        NetManager net(options);
        net.Startup();
        EXPECT_FALSE(net.ConnectTo(c.host, 80)) << c.host;
        EXPECT_FALSE(net.Connected());
        EXPECT_EQ(net.CurrentConnection(), nullptr);
        EXPECT_TRUE(HasLine(log, c.line)) << log.Joined();
        EXPECT_EQ(net.ConnectFailure(), c.failure);
    }
}

// A port in the host text wins over the given one (the directory tests connect to
// "127.0.0.1:port" texts all the time); IPv6 needs the brackets to carry it.
TEST(NetManager, ConnectsToABracketedIpv6HostPort) {
    Listener listener(true);
    if (!listener.Ok()) GTEST_SKIP() << "no IPv6 loopback on this machine";
    ReportCapture log;
    NetManager net;
    net.Startup();
    const std::string host = "[::1]:" + std::to_string(listener.Port());
    ASSERT_TRUE(net.ConnectTo(host, 80)) << host;
    const int peer = listener.Accept();
    EXPECT_GE(peer, 0);
    EXPECT_TRUE(HasLine(log, "net   Connection is opened to the host: " + host)) << log.Joined();
    CloseSocket(peer);
}

TEST(SplitHostPort, NamesAddressesAndPorts) {
    struct Case {
        const char* text;
        bool ok;
        const char* host;
        uint16_t port;
    } const cases[] = {
        {"example.org", true, "example.org", 80},
        {"example.org:8080", true, "example.org", 8080},
        {"::1", true, "::1", 80},
        {"[::1]", true, "::1", 80},
        {"[::1]:9000", true, "::1", 9000},
        {"host:", false, "", 0},
        {"host:0", false, "", 0},
        {"host:65536", false, "", 0},
        {"host:12x", false, "", 0},
        {":80", false, "", 0},
        {"[::1", false, "", 0},
        {"[::1]x", false, "", 0},
    };
    for (const Case& c : cases) {
        std::string host = "unchanged";
        uint16_t port = 1;
        EXPECT_EQ(SplitHostPort(c.text, 80, host, port), c.ok) << c.text;
        if (!c.ok) continue;
        EXPECT_EQ(host, c.host) << c.text;
        EXPECT_EQ(port, c.port) << c.text;
    }
}

}  // namespace
