#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "net/server_list.h"

class NetManager;

struct DirectoryOptions {
    std::string config_file = "kav.ini";  // holds [NetSetup] RefHost, RefFile, ScrHost, ScrFile
    // A document that has not ended after this long is given up, so a web host that
    // keeps the connection open cannot hold the network thread.
    int64_t document_time_limit_ms = 10000;
    std::function<int64_t()> clock;  // milliseconds; the steady game clock when empty
};

// The list of game servers a web script publishes, fetched with a bare "GET url"
// line over the socket layer. The script's location is found through a reference
// file and cached in the configuration. Runs on the thread that owns the NetManager;
// log lines go to the srv module.
class ServerDirectory {
public:
    explicit ServerDirectory(NetManager& net, DirectoryOptions options = DirectoryOptions());

    // Empties the directory and fills it again; false when no list could be had.
    bool FetchServerList();
    // Sends the request on the current connection and reads until the peer closes;
    // the reply is then the unread content of the connection's receive queue.
    bool FetchDocument(const std::string& url);
    // Reads the reference file from RefHost and connects to the script's host.
    bool LoadReference();
    // Makes entry `index` the current connection of the socket layer.
    bool ConnectToServer(size_t index);
    void DescribeServer(size_t index);

    size_t Count() const { return entries_.size(); }
    const ServerEntry& Entry(size_t index) const { return entries_[index]; }
    const std::vector<ServerEntry>& Entries() const { return entries_; }
    // The servers of another protocol version the last fetch found: shown, not joined.
    const std::vector<ServerEntry>& Foreign() const { return foreign_; }

private:
    bool Fetch(bool mayRetry);
    // The whole reply of the last document; the connection's record goes with it.
    std::string TakeReply();
    bool ConnectHost(const std::string& host);

    NetManager& net_;
    DirectoryOptions options_;
    std::vector<ServerEntry> entries_;
    std::vector<ServerEntry> foreign_;
    std::string scriptHost_;  // from the reference file
    std::string scriptPath_;
};
