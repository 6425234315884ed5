#include "loopback.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

bool WaitFor(int socket, short events, int timeLimitMs) {
    pollfd watch{socket, events, 0};
    return poll(&watch, 1, timeLimitMs) > 0;
}

uint16_t BoundPort(int socket) {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length) != 0) return 0;
    if (address.ss_family == AF_INET6) return ntohs(reinterpret_cast<sockaddr_in6*>(&address)->sin6_port);
    return ntohs(reinterpret_cast<sockaddr_in*>(&address)->sin_port);
}

int BindLoopback(bool ipv6) {
    addrinfo hints{};
    hints.ai_flags = AI_NUMERICHOST;
    addrinfo* found = nullptr;
    if (getaddrinfo(ipv6 ? "::1" : "127.0.0.1", nullptr, &hints, &found) != 0) return -1;
    int socket = ::socket(found->ai_family, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (socket >= 0 && bind(socket, found->ai_addr, found->ai_addrlen) != 0) {
        close(socket);
        socket = -1;
    }
    freeaddrinfo(found);
    return socket;
}

}  // namespace

Listener::Listener(bool ipv6, int backlog) {
    socket_ = BindLoopback(ipv6);
    if (socket_ < 0) return;
    if (listen(socket_, backlog) != 0) {
        close(socket_);
        socket_ = -1;
        return;
    }
    port_ = BoundPort(socket_);
}

Listener::~Listener() {
    if (socket_ >= 0) close(socket_);
}

int Listener::Accept(int timeLimitMs) {
    if (socket_ < 0 || !WaitFor(socket_, POLLIN, timeLimitMs)) return -1;
    return accept4(socket_, nullptr, nullptr, SOCK_CLOEXEC);
}

ClosedPort::ClosedPort() {
    socket_ = BindLoopback(false);
    if (socket_ >= 0) port_ = BoundPort(socket_);
}

ClosedPort::~ClosedPort() {
    if (socket_ >= 0) close(socket_);
}

PeerThread::PeerThread(std::function<bool(int)> serve)
    : serve_(std::move(serve)), thread_([this] {
          std::vector<int> held;
          for (int turn = 0; turn < 1000 && !stop_; ++turn) {
              const int socket = listener_.Accept(10);
              if (socket < 0) continue;
              if (serve_(socket))
                  held.push_back(socket);
              else
                  CloseSocket(socket);
          }
          for (int socket : held) CloseSocket(socket);
      }) {}

PeerThread::~PeerThread() {
    stop_ = true;
    thread_.join();
}

bool WriteAll(int socket, const void* bytes, size_t size) {
    const auto* next = static_cast<const char*>(bytes);
    while (size > 0) {
        const ssize_t sent = send(socket, next, size, MSG_NOSIGNAL);
        if (sent <= 0) return false;
        next += sent;
        size -= static_cast<size_t>(sent);
    }
    return true;
}

bool WriteAll(int socket, const std::string& bytes) { return WriteAll(socket, bytes.data(), bytes.size()); }

bool ReadExactly(int socket, std::string& out, size_t size, int timeLimitMs) {
    out.clear();
    while (out.size() < size) {
        if (!WaitFor(socket, POLLIN, timeLimitMs)) return false;
        char chunk[4096];
        const size_t wanted = std::min(sizeof chunk, size - out.size());
        const ssize_t got = recv(socket, chunk, wanted, 0);
        if (got <= 0) return false;
        out.append(chunk, static_cast<size_t>(got));
    }
    return true;
}

std::string ReadAvailable(int socket) {
    std::string out;
    char chunk[4096];
    ssize_t got;
    while ((got = recv(socket, chunk, sizeof chunk, MSG_DONTWAIT)) > 0) out.append(chunk, static_cast<size_t>(got));
    return out;
}

void CloseWithReset(int socket) {
    linger reset{1, 0};
    setsockopt(socket, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
    close(socket);
}

void CloseSocket(int socket) {
    if (socket >= 0) close(socket);
}
