#include "net/address.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

int64_t SteadyMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

bool SetNonBlocking(int socket) {
    const int flags = fcntl(socket, F_GETFL, 0);
    return flags >= 0 && fcntl(socket, F_SETFL, flags | O_NONBLOCK) == 0;
}

constexpr int64_t kCancelCheckMs = 20;

// Starts a non-blocking connect and waits for its outcome until `deadline` or `cancel`:
// 0 when connected, else the reason (ETIMEDOUT when the deadline passed, ECANCELED).
int ConnectBefore(int socket, const addrinfo& target, int64_t deadline, const std::atomic<bool>* cancel) {
    if (connect(socket, target.ai_addr, target.ai_addrlen) == 0) return 0;
    if (errno != EINPROGRESS) return errno;
    for (;;) {
        if (cancel != nullptr && cancel->load()) return ECANCELED;
        int64_t left = deadline - SteadyMs();
        if (left <= 0) return ETIMEDOUT;
        if (cancel != nullptr) left = std::min(left, kCancelCheckMs);
        pollfd watch{socket, POLLOUT, 0};
        const int ready = poll(&watch, 1, static_cast<int>(left));
        if (ready < 0 && errno == EINTR) continue;
        if (ready < 0) return errno;
        if (ready == 0) continue;  // the deadline and the cancel flag are checked above
        int error = 0;
        socklen_t length = sizeof error;
        if (getsockopt(socket, SOL_SOCKET, SO_ERROR, &error, &length) != 0) return errno;
        return error;
    }
}

}  // namespace

bool ParsePort(const std::string& text, uint16_t& port) {
    if (text.empty() || text.size() > 5) return false;
    unsigned value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (value == 0 || value > 65535) return false;
    port = static_cast<uint16_t>(value);
    return true;
}

bool SplitHostPort(const std::string& text, uint16_t defaultPort, std::string& host, uint16_t& port) {
    std::string name = text;
    std::string portText;
    bool hasPort = false;
    if (!text.empty() && text[0] == '[') {
        const size_t close = text.find(']');
        if (close == std::string::npos) return false;
        name = text.substr(1, close - 1);
        const std::string rest = text.substr(close + 1);
        if (!rest.empty()) {
            if (rest[0] != ':') return false;
            portText = rest.substr(1);
            hasPort = true;
        }
    } else {
        const size_t colon = text.find(':');
        // Two colons or more: an IPv6 literal, which needs brackets to carry a port.
        if (colon != std::string::npos && text.find(':', colon + 1) == std::string::npos) {
            name = text.substr(0, colon);
            portText = text.substr(colon + 1);
            hasPort = true;
        }
    }
    if (name.empty()) return false;
    uint16_t parsed = defaultPort;
    if (hasPort && !ParsePort(portText, parsed)) return false;
    host = name;
    port = parsed;
    return true;
}

std::string FormatAddress(const PeerAddress& address) {
    char text[INET6_ADDRSTRLEN] = "-";
    const auto* any = reinterpret_cast<const sockaddr*>(&address.storage);
    if (address.length == 0) return text;
    if (any->sa_family == AF_INET) {
        const auto* v4 = reinterpret_cast<const sockaddr_in*>(&address.storage);
        if (inet_ntop(AF_INET, &v4->sin_addr, text, sizeof text) == nullptr) return "-";
    } else if (any->sa_family == AF_INET6) {
        const auto* v6 = reinterpret_cast<const sockaddr_in6*>(&address.storage);
        if (inet_ntop(AF_INET6, &v6->sin6_addr, text, sizeof text) == nullptr) return "-";
    } else {
        return "-";
    }
    return text;
}

ConnectResult ConnectStream(const std::string& host, uint16_t port, int timeLimitMs, int& socket, PeerAddress& address,
                            const std::atomic<bool>* cancel) {
    socket = -1;
    if (host.empty()) return ConnectResult::kNoHost;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0 || found == nullptr)
        return ConnectResult::kNoHost;
    std::unique_ptr<addrinfo, decltype(&freeaddrinfo)> owned(found, freeaddrinfo);

    const int64_t deadline = SteadyMs() + timeLimitMs;
    bool opened = false;
    bool allRefused = true;
    for (const addrinfo* target = found; target != nullptr; target = target->ai_next) {
        const int candidate = ::socket(target->ai_family, target->ai_socktype | SOCK_CLOEXEC, target->ai_protocol);
        if (candidate < 0) continue;
        opened = true;
        const int error = SetNonBlocking(candidate) ? ConnectBefore(candidate, *target, deadline, cancel) : errno;
        if (error != ECONNREFUSED) allRefused = false;
        if (error == 0) {
            socket = candidate;
            std::memcpy(&address.storage, target->ai_addr, target->ai_addrlen);
            address.length = target->ai_addrlen;
            return ConnectResult::kConnected;
        }
        close(candidate);
    }
    if (!opened) return ConnectResult::kNoSocket;
    return allRefused ? ConnectResult::kRefused : ConnectResult::kNoConnect;
}
