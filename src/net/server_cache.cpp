#include "net/server_cache.h"

#include <fstream>

#include "base/durable_file.h"
#include "base/report.h"

std::string ServerCachePath(const std::string& configFile) {
    const size_t slash = configFile.rfind('/');
    return (slash == std::string::npos ? std::string() : configFile.substr(0, slash + 1)) + "servers.cache";
}

bool SaveServerCache(const std::string& path, const std::vector<ServerEntry>& entries) {
    std::string error;
    if (ReplaceFileDurably(path, ServerListDocument(entries), &error)) return true;
    Report(LogModule::kServer, LogLevel::kWarning, "Could not save the server cache %s: %s", path.c_str(),
           error.c_str());
    return false;
}

bool LoadServerCache(const std::string& path, ServerListResult& list) {
    list = ServerListResult();
    std::ifstream in(path, std::ios::binary);
    if (!in.is_open()) return false;
    // One byte past the bound tells a file that is too big from one that just fits.
    std::string text(kMaxServerCacheBytes + 1, '\0');
    in.read(&text[0], static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<size_t>(in.gcount()));
    if (text.size() > kMaxServerCacheBytes) {
        Report(LogModule::kServer, LogLevel::kWarning, "Server cache %s is too big, ignored", path.c_str());
        return false;
    }
    ServerListResult read = ParseServerList(text);
    if (read.status != ServerListStatus::kOk) {
        Report(LogModule::kServer, LogLevel::kWarning, "Server cache %s is damaged, ignored", path.c_str());
        return false;
    }
    list = std::move(read);
    Report(LogModule::kServer, LogLevel::kInfo, "Using the cached list of %d servers",
           static_cast<int>(list.entries.size() + list.foreign.size()));
    return true;
}
