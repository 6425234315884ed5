#include "net/local_addresses.h"

#include <gtest/gtest.h>
#include <ifaddrs.h>
#include <netdb.h>

#include <cstring>
#include <deque>
#include <string>
#include <vector>

namespace {

// An interface list as getifaddrs builds it, from numeric addresses.
class InterfaceList {
public:
    void Add(const std::string& address) {
        addrinfo hints{};
        hints.ai_flags = AI_NUMERICHOST;
        addrinfo* found = nullptr;
        ASSERT_EQ(getaddrinfo(address.c_str(), nullptr, &hints, &found), 0) << address;
        sockaddr_storage& storage = addresses_.emplace_back();
        std::memcpy(&storage, found->ai_addr, found->ai_addrlen);
        freeaddrinfo(found);
        AddEntry(reinterpret_cast<sockaddr*>(&storage));
    }
    // An interface without an address (one that is down, say).
    void AddBare() { AddEntry(nullptr); }

    const ifaddrs* First() const { return entries_.empty() ? nullptr : &entries_.front(); }

private:
    void AddEntry(sockaddr* address) {
        ifaddrs& entry = entries_.emplace_back();
        entry.ifa_addr = address;
        if (entries_.size() > 1) entries_[entries_.size() - 2].ifa_next = &entry;
    }

    std::deque<sockaddr_storage> addresses_;
    std::deque<ifaddrs> entries_;
};

}  // namespace

TEST(LanAddresses, LoopbackIsNeverAnnounced) {
    InterfaceList list;
    for (const char* address : {"127.0.0.1", "::1", "127.0.1.1"}) list.Add(address);
    list.AddBare();
    EXPECT_EQ(LanAddressesOf(list.First()), std::vector<std::string>());
}
