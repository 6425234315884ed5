#pragma once

#include <asio.hpp>
#include <string>

// Opens `acceptor` on `address` (empty: every address, IPv6 and IPv4 on one socket,
// or IPv4 alone on a host without IPv6) and `port` (0: any free port).
bool OpenListener(asio::ip::tcp::acceptor& acceptor, const std::string& address, int port, std::string& error);
// The bound address as "listening HOST PORT" shows it.
std::string ListenerHost(const asio::ip::tcp::acceptor& acceptor);
int ListenerPort(const asio::ip::tcp::acceptor& acceptor);
// A peer's address, with IPv4 peers of the dual-stack socket in their IPv4 form.
std::string PeerAddress(const asio::ip::tcp::socket& socket);
