#include "server/server_config.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "base/ini_file.h"

namespace {

bool ParseNumber(const std::string& text, long long low, long long high, long long& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    const long long parsed = std::strtoll(text.c_str(), &end, 10);
    if (*end != '\0' || parsed < low || parsed > high) return false;
    value = parsed;
    return true;
}

// Reads one numeric key when present; a present but bad value is an error.
template <typename Number>
bool ReadNumber(const IniFile& ini, const char* section, const char* key, long long low, long long high, Number& out,
                std::string& error) {
    if (!ini.HasKey(section, key)) return true;
    long long value = 0;
    if (!ParseNumber(ini.GetString(section, key), low, high, value)) {
        error = std::string("bad value for ") + section + "/" + key + ": " + ini.GetString(section, key);
        return false;
    }
    out = static_cast<Number>(value);
    return true;
}

void ReadText(const IniFile& ini, const char* section, const char* key, std::string& out) {
    if (ini.HasKey(section, key)) out = ini.GetString(section, key);
}

}  // namespace

bool ParseServerConfig(const std::string& text, ServerConfig& config, std::string& error) {
    IniFile ini;
    ini.Parse(text);
    int64_t loginSeconds = config.lobby.loginTimeoutMs / 1000;
    int64_t rejoinSeconds = config.lobby.rejoinWaitMs / 1000;
    int chatWindowSeconds = static_cast<int>(config.lobby.chatWindowMs / 1000);
    int framesPerSecond = static_cast<int>(config.intake.framesPerSecond);
    int roles = 1;
    if (!ReadNumber(ini, "Server", "Roles", 1, 3, roles, error) ||
        !ReadNumber(ini, "Server", "Port", 0, 65535, config.port, error) ||
        !ReadNumber(ini, "Limits", "MaxConnections", 1, 100000, config.maxConnections, error) ||
        !ReadNumber(ini, "Limits", "MaxPerAddress", 1, 100000, config.maxPerAddress, error) ||
        !ReadNumber(ini, "Limits", "SendQueueBytes", 1024, 64 << 20, config.sendQueueBytes, error) ||
        !ReadNumber(ini, "Limits", "MaxFrameBytes", 3, 65535, config.intake.maxFrameSize, error) ||
        !ReadNumber(ini, "Limits", "FramesPerSecond", 1, 1000000, framesPerSecond, error) ||
        !ReadNumber(ini, "Limits", "ChatLines", 1, 1000, config.lobby.chatLinesPerWindow, error) ||
        !ReadNumber(ini, "Limits", "ChatWindowSeconds", 1, 3600, chatWindowSeconds, error) ||
        !ReadNumber(ini, "Limits", "LoginSeconds", 1, 3600, loginSeconds, error) ||
        !ReadNumber(ini, "Limits", "RejoinSeconds", 0, 86400, rejoinSeconds, error) ||
        !ReadNumber(ini, "Directory", "Port", 0, 65535, config.directoryPort, error)) {
        return false;
    }
    config.gameRole = (roles & 1) != 0;
    config.directoryRole = (roles & 2) != 0;
    config.lobby.loginTimeoutMs = loginSeconds * 1000;
    config.lobby.rejoinWaitMs = rejoinSeconds * 1000;
    config.lobby.chatWindowMs = chatWindowSeconds * 1000;
    config.intake.framesPerSecond = framesPerSecond;
    config.intake.frameBurst = 2.0 * framesPerSecond;
    ReadText(ini, "Server", "Listen", config.listen);
    ReadText(ini, "Server", "Name", config.name);
    ReadText(ini, "Server", "Description", config.description);
    ReadText(ini, "Server", "Announce", config.announceTo);
    ReadText(ini, "Server", "LogFile", config.logFile);
    ReadText(ini, "Directory", "PublicAddress", config.publicAddress);
    ReadText(ini, "Directory", "ReferencePath", config.referencePath);
    ReadText(ini, "Directory", "ListPath", config.listPath);
    if (const IniSection* listed = static_cast<const IniFile&>(ini).FindSection("StaticServers")) {
        for (const auto& entry : listed->entries) config.staticServers.push_back(entry.second);
    }
    return true;
}

bool LoadServerConfig(const std::string& fileName, ServerConfig& config, std::string& error) {
    std::ifstream file(fileName);
    if (!file) {
        error = "could not read " + fileName;
        return false;
    }
    std::ostringstream text;
    text << file.rdbuf();
    return ParseServerConfig(text.str(), config, error);
}

std::string DefaultConfigText() {
    const ServerConfig d;
    std::ostringstream out;
    out << "; kav-server configuration (kav.ini format: [Section], Key=Value, ';' starts a comment line)\n"
        << "[Server]\n"
        << "; 1 = game server, 2 = server directory, 3 = both in one process\n"
        << "Roles=1\n"
        << "; address to listen on; empty = every address, IPv4 and IPv6\n"
        << "Listen=" << d.listen << "\n"
        << "; game port; 0 = any free port (the chosen one is printed as \"listening HOST PORT\")\n"
        << "Port=" << d.port << "\n"
        << "; shown in the server list\n"
        << "Name=" << d.name << "\n"
        << "Description=" << d.description << "\n"
        << "; directory to announce this server to, as host:port; empty = not listed\n"
        << "Announce=" << d.announceTo << "\n"
        << "LogFile=" << d.logFile << "\n"
        << "[Limits]\n"
        << "MaxConnections=" << d.maxConnections << "\n"
        << "; connections from one address (raise it for load tests over loopback)\n"
        << "MaxPerAddress=" << d.maxPerAddress << "\n"
        << "; a client whose unsent bytes pass this is dropped\n"
        << "SendQueueBytes=" << d.sendQueueBytes << "\n"
        << "MaxFrameBytes=" << d.intake.maxFrameSize << "\n"
        << "FramesPerSecond=" << static_cast<int>(d.intake.framesPerSecond) << "\n"
        << "; chat lines a client may send per window\n"
        << "ChatLines=" << d.lobby.chatLinesPerWindow << "\n"
        << "ChatWindowSeconds=" << d.lobby.chatWindowMs / 1000 << "\n"
        << "LoginSeconds=" << d.lobby.loginTimeoutMs / 1000 << "\n"
        << "; how long the players of a dropped client wait for it to rejoin\n"
        << "RejoinSeconds=" << d.lobby.rejoinWaitMs / 1000 << "\n"
        << "[Directory]\n"
        << "Port=" << d.directoryPort << "\n"
        << "; host[:port] of this directory as players reach it (written into the reference file)\n"
        << "PublicAddress=" << d.publicAddress << "\n"
        << "ReferencePath=" << d.referencePath << "\n"
        << "ListPath=" << d.listPath << "\n"
        << "; servers always listed, one line each: 0.9b;host;port;name;description;\n"
        << "[StaticServers]\n";
    return out.str();
}

namespace {

bool NeedValue(int argc, const char* const* argv, int& i, std::string& value, std::string& error) {
    if (i + 1 >= argc) {
        error = std::string(argv[i]) + " needs a value";
        return false;
    }
    value = argv[++i];
    return true;
}

}  // namespace

bool ParseCommandLine(int argc, const char* const* argv, CommandLine& line, ServerConfig& config, std::string& error) {
    // The file comes first, whatever its place among the options, so that every other
    // option overrides it.
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::string(argv[i]) == "--config") line.configFile = argv[i + 1];
    }
    if (!line.configFile.empty() && !LoadServerConfig(line.configFile, config, error)) return false;

    bool portGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        std::string value;
        long long number = 0;
        if (option == "--print-default-config") {
            line.printDefaultConfig = true;
        } else if (option == "--help" || option == "-h") {
            line.help = true;
        } else if (option == "--directory") {
            config.directoryRole = true;
            config.gameRole = false;
        } else if (option == "--config") {
            ++i;
        } else if (option == "--port" || option == "--bots") {
            if (!NeedValue(argc, argv, i, value, error)) return false;
            if (!ParseNumber(value, 0, option == "--port" ? 65535 : 4096, number)) {
                error = "bad value for " + option + ": " + value;
                return false;
            }
            if (option == "--port") {
                config.port = static_cast<int>(number);
                portGiven = true;
            } else {
                line.bots = static_cast<int>(number);
            }
        } else if (option == "--listen" || option == "--name" || option == "--description" || option == "--announce" ||
                   option == "--log" || option == "--connect") {
            if (!NeedValue(argc, argv, i, value, error)) return false;
            if (option == "--listen") config.listen = value;
            if (option == "--name") config.name = value;
            if (option == "--description") config.description = value;
            if (option == "--announce") config.announceTo = value;
            if (option == "--log") config.logFile = value;
            if (option == "--connect") line.connect = value;
        } else {
            error = "unknown option " + option;
            return false;
        }
    }
    // With the directory alone, --port is the directory's port.
    if (portGiven && config.directoryRole && !config.gameRole) config.directoryPort = config.port;
    return true;
}

std::string UsageText() {
    return "usage: kav-server [options]\n"
           "  --config FILE            read the configuration (kav.ini format)\n"
           "  --print-default-config   print a commented default configuration and exit\n"
           "  --port N                 port to listen on (0 = any free port); default 4077, 8080 with --directory\n"
           "  --listen ADDRESS         address to listen on (default: every address, IPv4 and IPv6)\n"
           "  --name TEXT              server name shown in the server list\n"
           "  --description TEXT       server description shown in the server list\n"
           "  --announce HOST:PORT     server directory to announce this server to\n"
           "  --directory              run the server directory instead of a game server\n"
           "  --log FILE               log file (default kav-server.log)\n"
           "  --bots N --connect HOST:PORT   play N bot clients on a game server\n";
}

bool SplitHostPort(const std::string& text, std::string& host, int& port) {
    size_t colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0) return false;
    std::string name = text.substr(0, colon);
    if (name.size() >= 2 && name.front() == '[' && name.back() == ']') name = name.substr(1, name.size() - 2);
    long long number = 0;
    if (name.empty() || !ParseNumber(text.substr(colon + 1), 1, 65535, number)) return false;
    host = name;
    port = static_cast<int>(number);
    return true;
}
