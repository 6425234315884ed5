#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "net/server_list.h"

// Any document parses without reading outside it, and whatever it lists is usable:
// a host, a port, the supported version.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string document(reinterpret_cast<const char*>(data), size);
    const ServerListResult result = ParseServerList(document);
    if (result.status != ServerListStatus::kOk && !result.entries.empty()) std::abort();
    for (const ServerEntry& entry : result.entries) {
        if (entry.host.empty() || entry.port == 0 || entry.version != kDirectoryVersion) std::abort();
        if (entry.host.find('\n') != std::string::npos || entry.description.find('\n') != std::string::npos)
            std::abort();
    }
    return 0;
}
