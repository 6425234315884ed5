#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "net/server_list.h"

// The last server list the directory gave, kept beside the configuration file so the
// browser has something to show when the directory cannot be reached.

// Larger files are not read: a list of a few hundred servers is a few dozen KiB.
constexpr size_t kMaxServerCacheBytes = 256 * 1024;

// "servers.cache" in the directory of `configFile`.
std::string ServerCachePath(const std::string& configFile);

// Replaces the cache durably; false (with a log line) when it cannot be written.
bool SaveServerCache(const std::string& path, const std::vector<ServerEntry>& entries);

// The cached list; false when there is none, or it is too big or damaged (each with a
// log line), in which case `list` is empty.
bool LoadServerCache(const std::string& path, ServerListResult& list);
