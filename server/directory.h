#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// One request to the directory, in either form it accepts: the game client's single
// line "GET url" (answered with the bare document), an HTTP/1.x request (answered
// with a status line and headers), or a game server's "ANNOUNCE port;name;
// description;games/players" or "WITHDRAW port" line.
struct DirectoryRequest {
    std::string method;
    std::string path;      // for GET: the path alone, scheme, host and query cut off
    std::string argument;  // for ANNOUNCE and WITHDRAW: the rest of the line
    bool http = false;
};

enum class RequestStatus { kIncomplete, kComplete, kBad };

constexpr size_t kMaxDirectoryRequest = 8192;

// Looks at the bytes received so far.
RequestStatus ParseDirectoryRequest(const std::string& received, DirectoryRequest& request);

struct DirectorySettings {
    std::string publicAddress;  // host[:port] the reference file names
    std::string referencePath = "/kav.txt";
    std::string listPath = "/cgi-bin/kav.pl";
    std::vector<std::string> staticServers;
    int64_t entryLifetimeMs = 45000;
};

struct DirectoryReply {
    std::string bytes;  // what goes back before the connection closes
    // A server that announced itself and still has to prove it can be reached there.
    std::optional<std::pair<std::string, int>> check;
};

// The list of game servers: announced ones (listed once a ping at the announcing
// address answered, dropped when not renewed in time) and static lines from the
// configuration. Socket-free; the host runs the pings and the clock.
class Directory {
public:
    explicit Directory(const DirectorySettings& settings) : settings_(settings) {}

    DirectoryReply Handle(const DirectoryRequest& request, const std::string& peer, int64_t now);
    // The ping at host:port answered.
    void Reached(const std::string& host, int port);
    void Expire(int64_t now);

    std::string ListDocument() const;
    std::string ReferenceDocument() const;
    size_t ListedCount() const;

private:
    struct Entry {
        std::string name;
        std::string description;
        std::string status;
        int64_t renewed = 0;
        bool reached = false;
    };
    using Key = std::pair<std::string, int>;

    DirectoryReply Announce(const std::string& argument, const std::string& peer, int64_t now);

    DirectorySettings settings_;
    std::map<Key, Entry> entries_;
};
