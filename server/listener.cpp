#include "server/listener.h"

bool OpenListener(asio::ip::tcp::acceptor& acceptor, const std::string& address, int port, std::string& error) {
    asio::error_code ec;
    const auto portNumber = static_cast<uint16_t>(port);
    asio::ip::tcp::endpoint endpoint(asio::ip::tcp::v6(), portNumber);
    const bool everywhere = address.empty();
    if (!everywhere) {
        const asio::ip::address parsed = asio::ip::make_address(address, ec);
        if (ec) {
            error = "bad listen address " + address;
            return false;
        }
        endpoint = asio::ip::tcp::endpoint(parsed, portNumber);
    }
    acceptor.open(endpoint.protocol(), ec);
    if (ec && everywhere) {
        // A host without IPv6 still serves IPv4.
        endpoint = asio::ip::tcp::endpoint(asio::ip::tcp::v4(), portNumber);
        acceptor.open(endpoint.protocol(), ec);
    }
    if (!ec && everywhere && endpoint.protocol() == asio::ip::tcp::v6())
        acceptor.set_option(asio::ip::v6_only(false), ec);
    if (!ec) acceptor.set_option(asio::ip::tcp::acceptor::reuse_address(true), ec);
    if (!ec) acceptor.bind(endpoint, ec);
    if (!ec) acceptor.listen(asio::socket_base::max_listen_connections, ec);
    if (ec) {
        error = "could not listen on port " + std::to_string(port) + ": " + ec.message();
        acceptor.close(ec);
        return false;
    }
    return true;
}

std::string ListenerHost(const asio::ip::tcp::acceptor& acceptor) {
    asio::error_code ec;
    const asio::ip::address address = acceptor.local_endpoint(ec).address();
    // The dual-stack wildcard takes IPv4 too; 0.0.0.0 is the form every client resolves.
    if (address.is_v6() && address.is_unspecified()) return "0.0.0.0";
    return address.to_string();
}

int ListenerPort(const asio::ip::tcp::acceptor& acceptor) {
    asio::error_code ec;
    return acceptor.local_endpoint(ec).port();
}

std::string PeerAddress(const asio::ip::tcp::socket& socket) {
    asio::error_code ec;
    const asio::ip::address address = socket.remote_endpoint(ec).address();
    if (ec) return "unknown";
    if (address.is_v6() && address.to_v6().is_v4_mapped()) {
        return asio::ip::make_address_v4(asio::ip::v4_mapped, address.to_v6()).to_string();
    }
    return address.to_string();
}
