#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "net/protocol.h"
#include "net/server_transport.h"

// One message as the peer sees it.
struct PeerFrame {
    uint8_t kind;
    std::vector<uint8_t> payload;
};

// The server side of the test: what it has sent waits in `incoming`, what the client
// sent lands in `sent`. Pump fails while `pumpFails` is set.
class ScriptedPeer : public ServerTransport {
public:
    bool Startup() override { return true; }
    void Shutdown() override {}
    bool FetchServerList(ServerListResult& list) override {
        list = servers;
        return listAvailable;
    }
    bool LoadCachedServerList(ServerListResult& list) override {
        list = cachedServers;
        return cacheAvailable;
    }
    bool ConnectToListed(size_t index) override {
        listedConnects.push_back(index);
        return NextConnect();
    }
    bool ConnectTo(const std::string& host, uint16_t port) override {
        typedConnects.push_back(host + ":" + std::to_string(port));
        return NextConnect();
    }
    std::string ConnectFailure() const override { return connectFailure; }
    void Disconnect() override { connected = false; }
    bool Connected() const override { return connected; }
    bool Pump() override {
        pumped = true;
        if (pumpFails) connected = false;
        return !pumpFails;
    }
    bool Send(uint8_t kind, const std::vector<uint8_t>& payload) override {
        sent.push_back({kind, payload});
        return true;
    }
    bool Receive(uint8_t& kind, std::vector<uint8_t>& payload) override {
        if (incoming.empty()) return false;
        kind = incoming.front().kind;
        payload = incoming.front().payload;
        incoming.pop_front();
        return true;
    }
    void DropOutgoing() override {}

    void Reply(MessageKind kind, std::vector<uint8_t> payload) {
        incoming.push_back({ToByte(kind), std::move(payload)});
    }
    void Junk() {
        incoming.push_back({2, {1, 2, 3}});
        incoming.push_back({99, {}});
    }
    std::vector<PeerFrame> SentOf(MessageKind kind) const {
        std::vector<PeerFrame> out;
        for (const PeerFrame& frame : sent)
            if (frame.kind == ToByte(kind)) out.push_back(frame);
        return out;
    }

    void Reset() {
        connectResults.clear();
        typedConnects.clear();
        connected = false;
        pumpFails = false;
        incoming.clear();
        sent.clear();
    }

    bool NextConnect() {
        connected = connectResults.empty() ? true : connectResults.front();
        if (!connectResults.empty()) connectResults.pop_front();
        return connected;
    }

    std::deque<bool> connectResults;  // empty: every connect works
    std::string connectFailure;       // why a failed connect failed
    std::vector<size_t> listedConnects;
    std::vector<std::string> typedConnects;
    ServerListResult servers;
    bool listAvailable = true;
    ServerListResult cachedServers;
    bool cacheAvailable = false;
    bool connected = false;
    std::atomic<bool> pumped{false};
    bool pumpFails = false;
    std::deque<PeerFrame> incoming;
    std::vector<PeerFrame> sent;
};
