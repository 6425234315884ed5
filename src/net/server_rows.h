#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "net/server_list.h"

// What the server browser knows of one game server.
struct ServerRow {
    static constexpr int kPingPending = -2;      // not measured yet
    static constexpr int kPingUnreachable = -1;  // no reply within the ping's time limit

    ServerEntry entry;
    // Of our protocol version: only these are pinged and can be joined.
    bool compatible = true;
    int ping_ms = kPingPending;
};

// The rows of a fetched (or cached) list: the servers of our version in list order,
// then the others.
std::vector<ServerRow> MakeServerRows(const ServerListResult& list);

// A refreshed list keeps the pings already measured for the same host and port, so
// the figures stay in place while the new measurements run.
void KeepKnownPings(const std::vector<ServerRow>& old, std::vector<ServerRow>& fresh);

// Sets the ping of every row of that host and port; false when there is none.
bool SetRowPing(std::vector<ServerRow>& rows, const std::string& host, uint16_t port, int pingMs);

// Quickest first; then those still measuring, the unreachable, and last the servers
// of another version. Rows that tie keep their order.
void SortRowsByPing(std::vector<ServerRow>& rows);

// "12 ms", "..." while measuring, "-" when unreachable.
std::string PingText(int pingMs);
// The row as the list shows it: name, description with the live status, and the ping,
// or the version for a server that speaks another one.
std::string RowText(const ServerRow& row);
