#include "net/server_list.h"

#include "net/address.h"

const char* const kDirectoryVersion = "0.9b";

namespace {

const std::string kStartMarker = "\nSTART_OF_LIST\n";
const std::string kEndMarker = "\nEND_OF_LIST\n";
const std::string kErrorMarker = "\nERROR\n";

// Splits at ';' into five fields and the rest of the line.
std::vector<std::string> SplitFields(const std::string& line) {
    std::vector<std::string> fields;
    size_t start = 0;
    while (fields.size() < 5) {
        const size_t semicolon = line.find(';', start);
        if (semicolon == std::string::npos) break;
        fields.push_back(line.substr(start, semicolon - start));
        start = semicolon + 1;
    }
    fields.push_back(line.substr(start));
    fields.resize(6);
    return fields;
}

}  // namespace

ServerListResult ParseServerList(const std::string& document) {
    ServerListResult result;
    if (document.find(kErrorMarker) != std::string::npos) {
        result.status = ServerListStatus::kErrorReply;
        return result;
    }
    const size_t start = document.find(kStartMarker);
    // The end marker may begin with the start marker's closing line feed.
    const size_t end =
        start == std::string::npos ? std::string::npos : document.find(kEndMarker, start + kStartMarker.size() - 1);
    if (end == std::string::npos) {
        result.status = ServerListStatus::kNoMarkers;
        return result;
    }
    const size_t bodyStart = start + kStartMarker.size();
    const std::string body = end > bodyStart ? document.substr(bodyStart, end - bodyStart) : std::string();

    size_t lineStart = 0;
    while (lineStart < body.size()) {
        size_t lineEnd = body.find('\n', lineStart);
        if (lineEnd == std::string::npos) lineEnd = body.size();
        std::string line = body.substr(lineStart, lineEnd - lineStart);
        lineStart = lineEnd + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        // A blank line names no server at all; it is not a broken entry.
        if (line.empty()) continue;

        const std::vector<std::string> fields = SplitFields(line);
        ServerEntry entry;
        entry.version = fields[0];
        entry.host = fields[1];
        entry.port_text = fields[2];
        entry.name = fields[3];
        entry.description = fields[4];
        entry.status = fields[5];
        if (entry.host.empty() || !ParsePort(entry.port_text, entry.port)) {
            result.status = ServerListStatus::kBadEntry;
            result.bad_line = line;
            result.entries.clear();
            result.foreign.clear();
            return result;
        }
        if (entry.version != kDirectoryVersion) {
            result.skipped.push_back({entry.version, line});
            result.foreign.push_back(entry);
            continue;
        }
        entry.display = DescribeEntry(entry);
        result.entries.push_back(entry);
    }
    return result;
}

std::string DescribeEntry(const ServerEntry& entry) {
    return entry.name + " " + entry.host + " " + entry.port_text + " " + entry.description;
}

std::string ServerListDocument(const std::vector<ServerEntry>& entries) {
    std::string document = kStartMarker;
    for (const ServerEntry& entry : entries) {
        document += entry.version + ";" + entry.host + ";" + entry.port_text + ";" + entry.name + ";" +
                    entry.description + ";" + entry.status + "\n";
    }
    // The line feed before the end marker is the last line's, or the start marker's.
    return document + kEndMarker.substr(1);
}
