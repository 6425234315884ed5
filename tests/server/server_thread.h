#pragma once

#include <asio.hpp>
#include <future>
#include <sys/socket.h>
#include <sys/time.h>
#include <thread>

// Runs a server's io_context on its own thread, so a test can talk to it over blocking
// loopback sockets, and runs code on that thread to look at the server safely.
class ServerThread {
public:
    ~ServerThread() { Join(); }

    void Run() {
        thread_ = std::thread([this] { io.run(); });
    }
    bool Running() const { return thread_.joinable(); }
    void Join() {
        if (!thread_.joinable()) return;
        io.stop();
        thread_.join();
        io.restart();
    }
    // Runs `fn` on the server thread and returns its result.
    template <typename Fn>
    auto On(Fn fn) -> decltype(fn()) {
        std::packaged_task<decltype(fn())()> task(fn);
        auto result = task.get_future();
        asio::post(io, [&task] { task(); });
        return result.get();
    }

    asio::io_context io;

private:
    std::thread thread_;
};

// Reads on a client socket give up after 5 s, so a server that does not answer fails
// the test instead of hanging it.
inline void LimitReads(asio::ip::tcp::socket& socket) {
    timeval limit{5, 0};
    setsockopt(socket.native_handle(), SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
}
