#include "net/server_rows.h"

#include <algorithm>

std::vector<ServerRow> MakeServerRows(const ServerListResult& list) {
    std::vector<ServerRow> rows;
    for (const ServerEntry& entry : list.entries) rows.push_back({entry, true, ServerRow::kPingPending});
    for (const ServerEntry& entry : list.foreign) rows.push_back({entry, false, ServerRow::kPingPending});
    return rows;
}

void KeepKnownPings(const std::vector<ServerRow>& old, std::vector<ServerRow>& fresh) {
    for (const ServerRow& known : old) {
        if (known.ping_ms != ServerRow::kPingPending)
            SetRowPing(fresh, known.entry.host, known.entry.port, known.ping_ms);
    }
}

bool SetRowPing(std::vector<ServerRow>& rows, const std::string& host, uint16_t port, int pingMs) {
    bool found = false;
    for (ServerRow& row : rows) {
        if (row.compatible && row.entry.host == host && row.entry.port == port) {
            row.ping_ms = pingMs;
            found = true;
        }
    }
    return found;
}

namespace {

// 0 measured, 1 measuring, 2 unreachable, 3 another version.
int PingRank(const ServerRow& row) {
    if (!row.compatible) return 3;
    if (row.ping_ms == ServerRow::kPingUnreachable) return 2;
    return row.ping_ms == ServerRow::kPingPending ? 1 : 0;
}

}  // namespace

void SortRowsByPing(std::vector<ServerRow>& rows) {
    std::stable_sort(rows.begin(), rows.end(), [](const ServerRow& a, const ServerRow& b) {
        const int rankA = PingRank(a);
        const int rankB = PingRank(b);
        if (rankA != rankB) return rankA < rankB;
        return rankA == 0 && a.ping_ms < b.ping_ms;
    });
}

std::string PingText(int pingMs) {
    if (pingMs == ServerRow::kPingPending) return "...";
    if (pingMs < 0) return "-";
    return std::to_string(pingMs) + " ms";
}

std::string RowText(const ServerRow& row) {
    std::string text = row.entry.name + "  " + row.entry.description;
    if (!row.entry.status.empty()) text += " " + row.entry.status;
    return text + "  " + (row.compatible ? PingText(row.ping_ms) : "version " + row.entry.version);
}
