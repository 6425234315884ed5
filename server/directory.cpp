#include "server/directory.h"

#include <cstdlib>
#include <sstream>

#include "base/report.h"

namespace {

const char* const kListVersion = "0.9b";
const char* const kErrorDocument = "\nERROR\n";
constexpr size_t kMaxEntries = 1024;

std::string FirstLine(const std::string& text) {
    std::string line = text.substr(0, text.find('\n'));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

// "http://host:port/a/b?x" and "/a/b" both name "/a/b".
std::string PathOf(std::string url) {
    const size_t scheme = url.find("://");
    if (scheme != std::string::npos) {
        const size_t slash = url.find('/', scheme + 3);
        url = slash == std::string::npos ? "/" : url.substr(slash);
    }
    url = url.substr(0, url.find('?'));
    if (url.empty() || url[0] != '/') url.insert(url.begin(), '/');
    return url;
}

// Fields of a list line may hold neither the separator nor a line break.
std::string Field(std::string text) {
    for (char& c : text) {
        if (c == ';') c = ',';
        if (c == '\n' || c == '\r' || static_cast<unsigned char>(c) < 0x20) c = ' ';
    }
    return text.substr(0, 64);
}

bool ParsePort(const std::string& text, int& port) {
    if (text.empty() || text.size() > 5) return false;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
    }
    port = std::atoi(text.c_str());
    return port > 0 && port <= 65535;
}

std::string HttpReply(const char* status, const std::string& type, const std::string& body) {
    std::ostringstream out;
    out << "HTTP/1.0 " << status << "\r\nContent-Type: " << type << "\r\nContent-Length: " << body.size()
        << "\r\nConnection: close\r\n\r\n"
        << body;
    return out.str();
}

}  // namespace

RequestStatus ParseDirectoryRequest(const std::string& received, DirectoryRequest& request) {
    const size_t lineEnd = received.find('\n');
    if (lineEnd == std::string::npos) {
        return received.size() >= kMaxDirectoryRequest ? RequestStatus::kBad : RequestStatus::kIncomplete;
    }
    std::istringstream words(FirstLine(received));
    std::string method;
    std::string target;
    std::string version;
    words >> method >> target >> version;
    request = DirectoryRequest();
    request.method = method;
    if (method == "ANNOUNCE" || method == "WITHDRAW") {
        const std::string line = FirstLine(received);
        request.argument = line.size() > method.size() + 1 ? line.substr(method.size() + 1) : std::string();
        return RequestStatus::kComplete;
    }
    if (method.empty() || target.empty()) return RequestStatus::kBad;
    request.path = PathOf(target);
    if (version.empty()) return RequestStatus::kComplete;
    if (version.compare(0, 5, "HTTP/") != 0) return RequestStatus::kBad;
    // A full HTTP request ends with an empty line; its headers are not needed.
    request.http = true;
    if (received.find("\r\n\r\n") != std::string::npos || received.find("\n\n") != std::string::npos) {
        return RequestStatus::kComplete;
    }
    return received.size() >= kMaxDirectoryRequest ? RequestStatus::kBad : RequestStatus::kIncomplete;
}

DirectoryReply Directory::Handle(const DirectoryRequest& request, const std::string& peer, int64_t now) {
    if (request.method == "ANNOUNCE") return Announce(request.argument, peer, now);
    DirectoryReply reply;
    if (request.method == "WITHDRAW") {
        int port = 0;
        if (ParsePort(request.argument, port) && entries_.erase({peer, port}) != 0) {
            Report(LogModule::kServer, LogLevel::kInfo, "Server %s:%d withdrew", peer.c_str(), port);
        }
        reply.bytes = "OK\n";
        return reply;
    }
    std::string body;
    const bool found = request.method == "GET";
    if (found && request.path == settings_.listPath) body = ListDocument();
    if (found && request.path == settings_.referencePath) body = ReferenceDocument();
    if (body.empty()) {
        reply.bytes =
            request.http
                ? HttpReply("404 Not Found", "text/html",
                            "<html><body><h1>404 Not Found</h1>" + std::string(kErrorDocument) + "</body></html>\n")
                : kErrorDocument;
        return reply;
    }
    reply.bytes = request.http ? HttpReply("200 OK", "text/plain", body) : body;
    return reply;
}

DirectoryReply Directory::Announce(const std::string& argument, const std::string& peer, int64_t now) {
    DirectoryReply reply;
    std::vector<std::string> fields;
    std::istringstream parts(argument);
    for (std::string field; fields.size() < 3 && std::getline(parts, field, ';');) fields.push_back(field);
    // The live status is the rest of the line, separators and all (Field cuts them).
    std::string rest;
    if (fields.size() == 3 && std::getline(parts, rest)) fields.push_back(rest);
    int port = 0;
    if (fields.size() != 4 || !ParsePort(fields[0], port)) {
        reply.bytes = kErrorDocument;
        return reply;
    }
    // Announcements are open to anyone: a bound keeps a flood from growing the table.
    if (entries_.count({peer, port}) == 0 && entries_.size() >= kMaxEntries) {
        reply.bytes = kErrorDocument;
        return reply;
    }
    Entry& entry = entries_[{peer, port}];
    const bool fresh = entry.renewed == 0;
    entry.name = Field(fields[1]);
    entry.description = Field(fields[2]);
    entry.status = Field(fields[3]);
    entry.renewed = now;
    if (fresh)
        Report(LogModule::kServer, LogLevel::kInfo, "Server %s:%d announced: %s", peer.c_str(), port,
               entry.name.c_str());
    if (!entry.reached) reply.check = std::make_pair(peer, port);
    reply.bytes = "OK\n";
    return reply;
}

void Directory::Reached(const std::string& host, int port) {
    auto found = entries_.find({host, port});
    if (found == entries_.end() || found->second.reached) return;
    found->second.reached = true;
    Report(LogModule::kServer, LogLevel::kInfo, "Server %s:%d answered the ping and is listed", host.c_str(), port);
}

void Directory::Expire(int64_t now) {
    for (auto entry = entries_.begin(); entry != entries_.end();) {
        if (now - entry->second.renewed >= settings_.entryLifetimeMs) {
            Report(LogModule::kServer, LogLevel::kInfo, "Server %s:%d was not renewed and is dropped",
                   entry->first.first.c_str(), entry->first.second);
            entry = entries_.erase(entry);
        } else {
            ++entry;
        }
    }
}

std::string Directory::ListDocument() const {
    std::string document = "<html><body><pre>\nSTART_OF_LIST\n";
    for (const std::string& line : settings_.staticServers) document += line + "\n";
    for (const auto& [key, entry] : entries_) {
        if (!entry.reached) continue;
        document += std::string(kListVersion) + ";" + key.first + ";" + std::to_string(key.second) + ";" + entry.name +
                    ";" + entry.description + ";" + entry.status + "\n";
    }
    return document + "END_OF_LIST\n</pre></body></html>\n";
}

std::string Directory::ReferenceDocument() const {
    std::string path = settings_.listPath;
    if (!path.empty() && path[0] == '/') path.erase(0, 1);
    return settings_.publicAddress + "\n" + path + "\n";
}

size_t Directory::ListedCount() const {
    size_t count = settings_.staticServers.size();
    for (const auto& entry : entries_) count += entry.second.reached ? 1 : 0;
    return count;
}
