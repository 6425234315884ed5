#include "net/server_directory.h"

#include <utility>

#include "base/clock.h"
#include "base/ini_file.h"
#include "base/report.h"
#include "net/net_manager.h"

namespace {

const char* const kSection = "NetSetup";
constexpr uint16_t kWebPort = 80;

int CountKeys(const IniFile& ini) {
    int keys = 0;
    for (const IniSection& section : ini.Sections()) keys += static_cast<int>(section.entries.size());
    return keys;
}

// The next line of `text` from `start`, without its line feed (or a carriage return
// before it); `start` moves past it.
std::string NextLine(const std::string& text, size_t& start) {
    if (start >= text.size()) return std::string();
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

}  // namespace

ServerDirectory::ServerDirectory(NetManager& net, DirectoryOptions options) : net_(net), options_(std::move(options)) {
    if (!options_.clock) options_.clock = NowMs;
}

bool ServerDirectory::FetchServerList() { return Fetch(true); }

bool ServerDirectory::Fetch(bool mayRetry) {
    entries_.clear();
    foreign_.clear();
    IniFile ini(options_.config_file);
    ini.Load();

    std::string url;
    bool usedCache = false;
    const std::string cachedHost = ini.GetString(kSection, "ScrHost");
    if (!cachedHost.empty()) {
        url = ini.GetString(kSection, "ScrFile");
        Report(LogModule::kServer, LogLevel::kInfo, "Using cashed script %s", url.c_str());
        usedCache = ConnectHost(cachedHost) && FetchDocument(url);
    }
    if (!usedCache) {
        if (!LoadReference()) return false;
        url = "http://" + scriptHost_ + "/" + scriptPath_;
        if (!FetchDocument(url)) return false;
        ini.SetValue(kSection, "ScrHost", scriptHost_, true);
        ini.SetValue(kSection, "ScrFile", url, true);
        ini.Save();
    }

    const ServerListResult list = ParseServerList(TakeReply());
    for (const SkippedServer& skipped : list.skipped)
        Report(LogModule::kServer, LogLevel::kInfo, "Server with a different version \"%s\" was found:  %s",
               skipped.version.c_str(), skipped.line.c_str());
    switch (list.status) {
        case ServerListStatus::kErrorReply:
            Report(LogModule::kServer, LogLevel::kError, "%s Returned error", url.c_str());
            return false;
        case ServerListStatus::kNoMarkers:
            Report(LogModule::kServer, LogLevel::kError, "%s does not have correct limiters", url.c_str());
            ini.SetValue(kSection, "ScrHost", "", true);
            ini.SetValue(kSection, "ScrFile", "", true);
            ini.Save();
            // The cached script may have moved: ask the reference file once, and only once.
            return usedCache && mayRetry ? Fetch(false) : false;
        case ServerListStatus::kBadEntry:
            Report(LogModule::kServer, LogLevel::kError, "Has incorrect information structure  %s",
                   list.bad_line.c_str());
            return false;
        case ServerListStatus::kOk: break;
    }
    entries_ = list.entries;
    foreign_ = list.foreign;
    Report(LogModule::kServer, LogLevel::kInfo, "Number of servers: %d", static_cast<int>(entries_.size()));
    return true;
}

bool ServerDirectory::FetchDocument(const std::string& url) {
    Connection* connection = net_.CurrentConnection();
    const std::string request = "GET " + url + "\n";
    if (connection == nullptr || !net_.SendRaw(net_.CurrentSocket(), request.data(), request.size())) return false;
    const int64_t deadline = options_.clock() + options_.document_time_limit_ms;
    bool ok = true;
    while (ok && !connection->closed) {
        if (options_.clock() >= deadline) {
            Report(LogModule::kServer, LogLevel::kError, "Document download timed out %s", url.c_str());
            ok = false;
            break;
        }
        ok = net_.Select(1000) && net_.PumpWrites() && net_.PumpReads();
    }
    // Cut off for size or broken off: a partial document is no document.
    if (!ok || connection->failed) {
        net_.DropCurrent();
        return false;
    }
    Report(LogModule::kServer, LogLevel::kInfo, "Document downloaded %s", url.c_str());
    return true;
}

bool ServerDirectory::LoadReference() {
    IniFile ini(options_.config_file);
    ini.Load();
    const int keys = CountKeys(ini);
    if (keys == 0) Report(LogModule::kServer, LogLevel::kError, "Loaded ini is empty");
    Report(LogModule::kServer, LogLevel::kInfo, "Loaded ini %s:Keys %d", options_.config_file.c_str(), keys);

    if (!ConnectHost(ini.GetString(kSection, "RefHost"))) return false;
    if (!FetchDocument(ini.GetString(kSection, "RefFile"))) return false;
    const std::string reference = TakeReply();
    size_t position = 0;
    const std::string host = NextLine(reference, position);
    if (!ConnectHost(host)) return false;
    scriptHost_ = host;
    scriptPath_ = NextLine(reference, position);
    return true;
}

bool ServerDirectory::ConnectToServer(size_t index) {
    if (index >= entries_.size()) return false;
    return net_.ConnectTo(entries_[index].host, entries_[index].port);
}

void ServerDirectory::DescribeServer(size_t index) {
    if (index < entries_.size()) entries_[index].display = DescribeEntry(entries_[index]);
}

std::string ServerDirectory::TakeReply() {
    std::string text;
    if (Connection* connection = net_.CurrentConnection()) connection->receive.ReadString(text, 0);
    net_.DropCurrent();
    return text;
}

bool ServerDirectory::ConnectHost(const std::string& host) {
    net_.SetHost(host);
    net_.SetPort(kWebPort);
    return net_.Connect();
}
