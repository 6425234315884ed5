#include "net/server_pinger.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "loopback.h"
#include "net/frame.h"
#include "net/protocol.h"

namespace {

// A game server that answers a ping the way `answer` says: the reply frames for the
// time it read, or nothing. It holds the connection until the pinger closes its end.
class PingPeer {
public:
    using Answer = std::function<std::vector<uint8_t>(int32_t clientTime)>;

    explicit PingPeer(Answer answer)
        : peer_([answer](int socket) {
              std::string ping;
              if (ReadExactly(socket, ping, 7) && ping[2] == 13) {
                  int32_t time = 0;
                  std::memcpy(&time, ping.data() + 3, 4);
                  const std::vector<uint8_t> reply = answer(time);
                  if (!reply.empty()) WriteAll(socket, reply.data(), reply.size());
              }
              std::string rest;
              ReadExactly(socket, rest, 1, 3000);
              return false;
          }) {}
    uint16_t Port() const { return peer_.Port(); }

private:
    PeerThread peer_;
};

std::vector<uint8_t> Frame(MessageKind kind, const std::vector<uint8_t>& payload) {
    std::vector<uint8_t> out;
    AppendFrame(out, ToByte(kind), payload.data(), payload.size());
    return out;
}

// The clock the pinger reads; a peer moves it before it replies, so the round trip
// is known exactly.
std::atomic<int64_t> now{1000};

TEST(ServerPinger, TheRoundTripOfAPingIsMeasuredAfterTheConnect) {
    struct Case {
        const char* name;
        int64_t takes;               // how far the clock moves before the peer answers
        std::vector<uint8_t> first;  // sent ahead of the reply
        bool replies;
        int32_t echoShift;  // what the reply adds to the time it echoes
        int expected;
    } const cases[] = {
        {"a chat line before the reply", 40, Frame(MessageKind::kChat, EncodeChat("hi")), true, 0, 40},
        {"another time echoed", 0, {}, true, 1, -1},
        {"a frame that cannot be", 0, {1, 0, 13}, false, 0, -1},
        {"silence past the time limit", ServerPinger::kTimeLimitMs, {}, false, 0, -1},
    };
    for (const Case& c : cases) {
        PingPeer peer([&c](int32_t sent) {
            now += c.takes;
            std::vector<uint8_t> bytes = c.first;
            const std::vector<uint8_t> reply =
                Frame(MessageKind::kPing, EncodePingReply(PingReply{sent + c.echoShift, 5}));
            if (c.replies) bytes.insert(bytes.end(), reply.begin(), reply.end());
            return bytes;
        });
        ServerPinger pinger([] { return now.load(); });
        EXPECT_EQ(pinger.Measure({"127.0.0.1", peer.Port()}), c.expected) << c.name;
    }
}

TEST(ServerPinger, EachServerIsReportedAndASilentOneHoldsUpOnlyItself) {
    PingPeer silent([](int32_t) { return std::vector<uint8_t>(); });
    ClosedPort closed;
    PingPeer peer([](int32_t sent) { return Frame(MessageKind::kPing, EncodePingReply(PingReply{sent, 5})); });
    // The clock stands still: the silent server is still waited for when the others are in.
    ServerPinger pinger([] { return int64_t{1000}; });
    std::mutex mutex;
    std::condition_variable arrived;
    std::vector<std::string> results;
    pinger.Ping({{"127.0.0.1", silent.Port()}, {"127.0.0.1", closed.Port()}, {"127.0.0.1", peer.Port()}},
                [&](const PingTarget& target, int ping) {
                    std::lock_guard<std::mutex> guard(mutex);
                    results.push_back(std::to_string(target.port) + (ping >= 0 ? " reached" : " unreachable"));
                    arrived.notify_all();
                });
    {
        std::unique_lock<std::mutex> lock(mutex);
        arrived.wait_for(lock, std::chrono::seconds(5), [&] { return results.size() == 2; });
    }
    pinger.Stop();
    std::sort(results.begin(), results.end());
    std::vector<std::string> expected{std::to_string(closed.Port()) + " unreachable",
                                      std::to_string(peer.Port()) + " reached"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(results, expected);
}

TEST(ServerPinger, StopEndsASilentMeasurementAtOnce) {
    PingPeer peer([](int32_t) { return std::vector<uint8_t>(); });
    ServerPinger pinger;
    std::atomic<bool> done{false};
    pinger.Ping({{"127.0.0.1", peer.Port()}}, [&](const PingTarget&, int) { done = true; });
    // Give the pinger a moment to be inside the measurement; either way Stop must be quick.
    for (int i = 0; i < 20; ++i) std::this_thread::yield();
    const auto stopAt = std::chrono::steady_clock::now();
    pinger.Stop();
    EXPECT_LT(std::chrono::steady_clock::now() - stopAt, std::chrono::milliseconds(500));
    EXPECT_FALSE(done) << "a stopped measurement reports nothing";
}

}  // namespace
