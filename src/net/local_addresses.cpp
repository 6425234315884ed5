#include "net/local_addresses.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <netinet/in.h>

#include <algorithm>

namespace {

bool IsLoopback4(const in_addr& address) { return (ntohl(address.s_addr) >> 24) == 127; }

void AddOnce(std::vector<std::string>& list, const std::string& address) {
    if (std::find(list.begin(), list.end(), address) == list.end()) list.push_back(address);
}

}  // namespace

std::vector<std::string> LanAddressesOf(const ifaddrs* interfaces) {
    std::vector<std::string> v4;
    std::vector<std::string> v6;
    char text[INET6_ADDRSTRLEN];
    for (const ifaddrs* entry = interfaces; entry != nullptr; entry = entry->ifa_next) {
        if (entry->ifa_addr == nullptr) continue;
        if (entry->ifa_addr->sa_family == AF_INET) {
            const in_addr& address = reinterpret_cast<const sockaddr_in*>(entry->ifa_addr)->sin_addr;
            if (!IsLoopback4(address) && inet_ntop(AF_INET, &address, text, sizeof text) != nullptr) AddOnce(v4, text);
        } else if (entry->ifa_addr->sa_family == AF_INET6) {
            const in6_addr& address = reinterpret_cast<const sockaddr_in6*>(entry->ifa_addr)->sin6_addr;
            if (IN6_IS_ADDR_LOOPBACK(&address) || IN6_IS_ADDR_LINKLOCAL(&address) || IN6_IS_ADDR_UNSPECIFIED(&address))
                continue;
            if (inet_ntop(AF_INET6, &address, text, sizeof text) != nullptr) AddOnce(v6, text);
        }
    }
    v4.insert(v4.end(), v6.begin(), v6.end());
    return v4;
}

std::vector<std::string> LanAddresses() {
    ifaddrs* interfaces = nullptr;
    if (getifaddrs(&interfaces) != 0) return {};
    std::vector<std::string> addresses = LanAddressesOf(interfaces);
    freeifaddrs(interfaces);
    return addresses;
}
