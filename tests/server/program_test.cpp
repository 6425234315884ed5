#include <gtest/gtest.h>

#include <asio.hpp>
#include <string>
#include <vector>

#include "net/frame.h"
#include "net/protocol.h"
#include "server_process.h"
#include "support/temp_dir.h"

namespace {

// The real program as a host runs it: started with --port 0, it names its port on
// standard output, serves a client and stops cleanly on SIGTERM.
TEST(Program, ListensOnAFreePortServesAndStopsCleanlyOnSigterm) {
    TempDir dir;
    Program server(KAV_SERVER_PATH, {"--port", "0", "--log", dir.File("server.log")});
    ASSERT_TRUE(server.Started());
    const std::string line = server.FirstLine();
    ASSERT_EQ(line.rfind("listening 0.0.0.0 ", 0), 0u) << line;
    const int port = std::stoi(line.substr(line.rfind(' ') + 1));
    ASSERT_GT(port, 0);

    asio::io_context io;
    asio::ip::tcp::socket socket(io);
    socket.connect({asio::ip::make_address("127.0.0.1"), static_cast<uint16_t>(port)});
    std::vector<uint8_t> frame;
    const Payload name = EncodeText("Alice");
    AppendFrame(frame, ToByte(MessageKind::kLogin), name.data(), name.size());
    asio::write(socket, asio::buffer(frame));
    uint8_t reply[4] = {};
    asio::read(socket, asio::buffer(reply));
    EXPECT_EQ(std::vector<uint8_t>(reply, reply + 4), (std::vector<uint8_t>{4, 0, 10, kStatusAccepted}));

    EXPECT_EQ(server.Terminate(), 0);
    EXPECT_NE(dir.Read("server.log").find("User Alice logged in from 127.0.0.1"), std::string::npos);
}

TEST(Program, RefusesUnknownOptions) {
    Program wrong(KAV_SERVER_PATH, {"--colour", "blue"});
    EXPECT_EQ(wrong.Wait(), 2);
}

}  // namespace
