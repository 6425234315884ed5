#pragma once

#include <sys/socket.h>

#include <atomic>
#include <cstdint>
#include <string>

// A decimal port from 1 to 65535, digits only.
bool ParsePort(const std::string& text, uint16_t& port);

// Where a connection goes: "host", "host:port", "[v6]" or "[v6]:port". A bare IPv6
// literal (more than one colon, no brackets) is a host without a port. False when
// the text names no host or its port is not a number from 1 to 65535; `port` keeps
// `defaultPort` when the text has none.
bool SplitHostPort(const std::string& text, uint16_t defaultPort, std::string& host, uint16_t& port);

// A socket address of either family, as connect and accept hand it over.
struct PeerAddress {
    sockaddr_storage storage{};
    socklen_t length = 0;
};

// The numeric address for log lines ("127.0.0.1", "::1"); "-" when there is none.
std::string FormatAddress(const PeerAddress& address);

enum class ConnectResult {
    kConnected,
    kNoHost,     // the name did not resolve
    kNoSocket,   // no socket could be created for any of its addresses
    kRefused,    // every address answered that nothing listens on the port
    kNoConnect,  // unreachable or out of time at some address, refused at the others
};

// Resolves `host` (names, IPv4 and IPv6) and connects a stream socket to the first
// address that answers, spending at most `timeLimitMs` on all the attempts together,
// so a host that swallows the handshake cannot hold the caller for long. The socket
// is left non-blocking. `socket` is -1 unless kConnected. A set `cancel` flag ends the
// attempts within a few milliseconds (a game that quits does not wait for the limit).
ConnectResult ConnectStream(const std::string& host, uint16_t port, int timeLimitMs, int& socket, PeerAddress& address,
                            const std::atomic<bool>* cancel = nullptr);
