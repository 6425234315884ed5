#pragma once

#include <string>
#include <vector>

class IniFile;

// The addresses this player typed last ("host:port"), most recent first, without
// repeats, as the address screen offers them. They live in kav.ini under
// [RecentServers] as Server1 (the latest) to Server8.
class RecentServers {
public:
    static constexpr size_t kMaxEntries = 8;
    // A host name is at most 253 characters; with ":65535" this is more than enough.
    static constexpr size_t kMaxAddressLength = 262;

    // The stored addresses; empty, oversized, repeated or unprintable entries, and
    // ones without a colon, are skipped.
    static RecentServers Read(const IniFile& settings);
    // Puts every entry in `settings` (emptied keys for the places no longer used).
    void Write(IniFile& settings) const;

    // Moves `address` to the front (adding it when new); ignored when it could not be read back.
    void Add(const std::string& address);

    const std::vector<std::string>& Addresses() const { return addresses_; }

private:
    static bool Usable(const std::string& address);

    std::vector<std::string> addresses_;
};
