#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct PingTarget {
    std::string host;
    uint16_t port = 0;
};

// Measures the round trip of the game protocol's ping (kind 13) to each game server of
// the browser on threads of its own, a few servers at once, so neither the window nor
// the network client thread waits for slow or silent servers, and a silent server
// holds up only its own row. The time counts from the ping sent on the open connection
// to its reply: the TCP handshake is not part of it.
class ServerPinger {
public:
    // A server that has not replied this long after the connect began is unreachable.
    static constexpr int kTimeLimitMs = 2000;
    // Servers measured at once: a list of dead servers takes a few time limits, not one each.
    static constexpr size_t kThreads = 4;

    // Called on one of the pinger's threads with the round trip, or -1 when unreachable.
    using Result = std::function<void(const PingTarget& target, int pingMs)>;

    // `clock`: milliseconds for the measurement and the time limit; steady when empty.
    explicit ServerPinger(std::function<int64_t()> clock = {});
    ~ServerPinger();
    ServerPinger(const ServerPinger&) = delete;
    ServerPinger& operator=(const ServerPinger&) = delete;

    // Replaces the servers still waiting with `targets`; those being measured finish.
    void Ping(std::vector<PingTarget> targets, Result result);
    // Ends the measurements under way within a few milliseconds and the threads with them.
    void Stop();

    // One measurement on the calling thread: the round trip in ms, -1 when unreachable.
    int Measure(const PingTarget& target);

private:
    void ThreadBody();
    int64_t Now() const;
    bool AwaitReply(int socket, int32_t sent, int64_t deadline);

    std::function<int64_t()> clock_;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::condition_variable wake_;
    std::vector<PingTarget> waiting_;
    Result result_;
    std::vector<std::thread> threads_;
};
