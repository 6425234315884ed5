#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The directory protocol version this game speaks; list entries of other versions
// are skipped.
extern const char* const kDirectoryVersion;  // "0.9b"

// One game server of the directory.
struct ServerEntry {
    std::string name;
    std::string host;
    std::string description;
    std::string version;
    std::string port_text;
    std::string display;  // the line the server choice shows
    std::string status;   // the rest of the list line: our directory's live "games/players"
    uint16_t port = 0;
    int32_t reserved = 0;
};

enum class ServerListStatus {
    kOk,
    kErrorReply,  // the document holds the "\nERROR\n" marker
    kNoMarkers,   // the start or end marker is missing, or they are out of order
    kBadEntry,    // a line without host or port (or with a port that is no port)
};

struct SkippedServer {
    std::string version;
    std::string line;
};

struct ServerListResult {
    ServerListStatus status = ServerListStatus::kOk;
    std::vector<ServerEntry> entries;
    std::vector<SkippedServer> skipped;  // lines of another version, in document order
    std::vector<ServerEntry> foreign;    // the same lines as entries, shown but not joinable
    std::string bad_line;                // the line that made it kBadEntry
};

// Reads a list document: anything around "\nSTART_OF_LIST\n" ... "\nEND_OF_LIST\n"
// (an HTTP status line and headers included), one server a line between them with
// the fields version;host;port;name;description;rest. The two markers may share the
// line feed between them, which is a list of no servers.
ServerListResult ParseServerList(const std::string& document);

// A list document that ParseServerList reads back as these entries (their own
// versions kept): what the server cache file holds.
std::string ServerListDocument(const std::vector<ServerEntry>& entries);

// The entry's display line: name, host, port and description joined by blanks.
std::string DescribeEntry(const ServerEntry& entry);
