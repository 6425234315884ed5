#include "gui/recent_servers.h"

#include <algorithm>

#include "base/ini_file.h"

namespace {

const char* const kSection = "RecentServers";

std::string KeyOf(size_t place) { return "Server" + std::to_string(place + 1); }

}  // namespace

bool RecentServers::Usable(const std::string& address) {
    if (address.empty() || address.size() > kMaxAddressLength || address.find(':') == std::string::npos) return false;
    return std::all_of(address.begin(), address.end(), [](char c) { return c > ' ' && c < 127; });
}

RecentServers RecentServers::Read(const IniFile& settings) {
    RecentServers recent;
    for (size_t place = 0; place < kMaxEntries; ++place) {
        const std::string address = settings.GetString(kSection, KeyOf(place));
        const auto& known = recent.addresses_;
        if (Usable(address) && std::find(known.begin(), known.end(), address) == known.end())
            recent.addresses_.push_back(address);
    }
    return recent;
}

void RecentServers::Write(IniFile& settings) const {
    for (size_t place = 0; place < kMaxEntries; ++place)
        settings.SetValue(kSection, KeyOf(place), place < addresses_.size() ? addresses_[place] : std::string(), true);
}

void RecentServers::Add(const std::string& address) {
    if (!Usable(address)) return;
    addresses_.erase(std::remove(addresses_.begin(), addresses_.end(), address), addresses_.end());
    addresses_.insert(addresses_.begin(), address);
    if (addresses_.size() > kMaxEntries) addresses_.resize(kMaxEntries);
}
