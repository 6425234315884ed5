#include "net/net_transport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "loopback.h"
#include "net/protocol.h"

namespace {

TEST(NetTransport, CarriesWholeFramesBothWaysOverLoopback) {
    Listener server;
    ASSERT_TRUE(server.Ok());
    NetTransport transport;
    ASSERT_TRUE(transport.Startup());
    ASSERT_TRUE(transport.ConnectTo("127.0.0.1", server.Port()));
    const int peer = server.Accept();
    ASSERT_GE(peer, 0);

    ASSERT_TRUE(transport.Send(ToByte(MessageKind::kLogin), EncodeText("ann")));
    // A whole frame and the first byte of the next, which must wait for the rest.
    ASSERT_TRUE(WriteAll(peer, std::string("\x04\x00\x0a\x01\x05", 5)));
    uint8_t kind = 0;
    std::vector<uint8_t> payload;
    bool received = false;
    for (int i = 0; i < 50 && !received; ++i) {
        ASSERT_TRUE(transport.Pump());
        received = transport.Receive(kind, payload);
    }
    ASSERT_TRUE(received);
    EXPECT_EQ(kind, ToByte(MessageKind::kLogin));
    EXPECT_EQ(payload, std::vector<uint8_t>({1}));
    EXPECT_FALSE(transport.Receive(kind, payload));

    std::string sent;
    ASSERT_TRUE(ReadExactly(peer, sent, 7));
    EXPECT_EQ(sent, std::string("\x07\x00\x0a\x03"
                                "ann",
                                7));

    CloseSocket(peer);
    bool gone = false;
    for (int i = 0; i < 50 && !gone; ++i) gone = !transport.Pump() || !transport.Connected();
    EXPECT_TRUE(gone);
    transport.Shutdown();
}

}  // namespace
