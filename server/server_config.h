#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "server/frame_intake.h"
#include "server/lobby.h"

// Everything a host sets: kav.ini-style file first, then the command line on top.
struct ServerConfig {
    bool gameRole = true;
    bool directoryRole = false;
    std::string listen;  // address to bind; empty: every address, IPv4 and IPv6
    int port = 4077;
    std::string name = "KAV server";
    std::string description = "An open KAV game server";
    std::string announceTo;  // directory as host:port; empty: not listed anywhere
    std::string logFile = "kav-server.log";

    size_t maxConnections = 256;
    size_t maxPerAddress = 4;
    size_t sendQueueBytes = 256 * 1024;
    LobbySettings lobby;
    IntakeLimits intake;

    int directoryPort = 8080;
    std::string publicAddress = "localhost:8080";  // what the reference file names as the list's host
    std::string referencePath = "/kav.txt";
    std::string listPath = "/cgi-bin/kav.pl";
    std::vector<std::string> staticServers;  // list lines served as they are
    int64_t announceIntervalMs = 15000;
    int64_t entryLifetimeMs = 45000;
};

// Reads the file over the defaults; false with `error` set when it cannot be read or a
// value is out of range.
bool LoadServerConfig(const std::string& fileName, ServerConfig& config, std::string& error);
// The same from text, for tests and for the printed default.
bool ParseServerConfig(const std::string& text, ServerConfig& config, std::string& error);
// A commented configuration holding every default.
std::string DefaultConfigText();

// What the command line asked for besides the configuration.
struct CommandLine {
    std::string configFile;
    bool printDefaultConfig = false;
    bool help = false;
    int bots = 0;
    std::string connect;  // host:port the bots play on
};

// Applies the command line over `config` (after the file named by --config is read).
// False with `error` for an unknown option or a bad value.
bool ParseCommandLine(int argc, const char* const* argv, CommandLine& line, ServerConfig& config, std::string& error);
std::string UsageText();

// Splits "host:port" or "[v6]:port"; false when the port is missing or out of range.
bool SplitHostPort(const std::string& text, std::string& host, int& port);
