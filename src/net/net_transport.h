#pragma once

#include "net/net_manager.h"
#include "net/server_directory.h"
#include "net/server_transport.h"

// The game-server client's transport over the socket layer and the server directory.
class NetTransport : public ServerTransport {
public:
    explicit NetTransport(DirectoryOptions directoryOptions = DirectoryOptions(), NetOptions netOptions = NetOptions());

    bool Startup() override;
    void Shutdown() override;
    bool FetchServerList(ServerListResult& list) override;
    bool LoadCachedServerList(ServerListResult& list) override;
    bool ConnectToListed(size_t index) override;
    bool ConnectTo(const std::string& host, uint16_t port) override;
    std::string ConnectFailure() const override { return net_.ConnectFailure(); }
    void Disconnect() override;
    void CancelConnects() override { net_.CancelConnects(); }
    bool Connected() const override;
    bool Pump() override;
    bool Send(uint8_t kind, const std::vector<uint8_t>& payload) override;
    bool Receive(uint8_t& kind, std::vector<uint8_t>& payload) override;
    void DropOutgoing() override;

private:
    // Select waits in units of 0.1 ms: a pump waits at most 0.1 s.
    static constexpr int kPumpWaitUnits = 1000;

    NetManager net_;
    std::string cachePath_;  // beside the configuration file
    ServerDirectory directory_;
    ByteQueue frame_;
};
