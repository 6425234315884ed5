#include "net/net_transport.h"

#include <utility>

#include "net/frame.h"
#include "net/server_cache.h"

NetTransport::NetTransport(DirectoryOptions directoryOptions, NetOptions netOptions)
    : net_(netOptions),
      cachePath_(ServerCachePath(directoryOptions.config_file)),
      directory_(net_, std::move(directoryOptions)) {}

bool NetTransport::Startup() { return net_.Startup(); }

void NetTransport::Shutdown() { net_.Shutdown(); }

bool NetTransport::FetchServerList(ServerListResult& list) {
    list = ServerListResult();
    if (!directory_.FetchServerList()) return false;
    for (size_t i = 0; i < directory_.Count(); ++i) directory_.DescribeServer(i);
    list.entries = directory_.Entries();
    list.foreign = directory_.Foreign();
    std::vector<ServerEntry> kept = list.entries;
    kept.insert(kept.end(), list.foreign.begin(), list.foreign.end());
    SaveServerCache(cachePath_, kept);
    return true;
}

bool NetTransport::LoadCachedServerList(ServerListResult& list) { return LoadServerCache(cachePath_, list); }

bool NetTransport::ConnectToListed(size_t index) {
    net_.DropCurrent();
    return directory_.ConnectToServer(index);
}

bool NetTransport::ConnectTo(const std::string& host, uint16_t port) {
    // The old connection goes with what it held: a new connection starts a new stream.
    net_.DropCurrent();
    return net_.ConnectTo(host, port);
}

void NetTransport::Disconnect() { net_.DropCurrent(); }

bool NetTransport::Connected() const { return net_.Connected(); }

bool NetTransport::Pump() {
    if (!net_.Select(kPumpWaitUnits)) return false;
    if (!net_.PumpReads()) return false;
    return net_.PumpWrites();
}

bool NetTransport::Send(uint8_t kind, const std::vector<uint8_t>& payload) {
    return net_.SendMessage(net_.CurrentSocket(), kind, payload.data(), payload.size());
}

bool NetTransport::Receive(uint8_t& kind, std::vector<uint8_t>& payload) {
    if (!net_.NextMessage(frame_)) return false;
    uint8_t head[kFrameHeadSize] = {};
    frame_.Read(head, kFrameHeadSize);
    kind = head[2];
    payload.resize(frame_.Unread());
    if (!payload.empty()) frame_.Read(payload.data(), payload.size());
    return true;
}

void NetTransport::DropOutgoing() {
    if (Connection* connection = net_.CurrentConnection()) connection->send.Consume(0);
}
