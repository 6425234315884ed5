#include "net/local_addresses.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <ifaddrs.h>
#include <netinet/in.h>

#include <deque>
#include <string>
#include <vector>

namespace {

// An interface list as getifaddrs builds it, from numeric addresses.
class InterfaceList {
public:
    void Add(const std::string& address) {
        sockaddr_storage& storage = addresses_.emplace_back();
        if (address.find(':') == std::string::npos) {
            auto* v4 = reinterpret_cast<sockaddr_in*>(&storage);
            v4->sin_family = AF_INET;
            inet_pton(AF_INET, address.c_str(), &v4->sin_addr);
        } else {
            auto* v6 = reinterpret_cast<sockaddr_in6*>(&storage);
            v6->sin6_family = AF_INET6;
            inet_pton(AF_INET6, address.c_str(), &v6->sin6_addr);
        }
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
    struct Case {
        std::vector<std::string> interfaces;
        std::vector<std::string> expected;
    } const cases[] = {
        {{}, {}},
        {{"127.0.0.1", "::1", "127.0.1.1"}, {}},
    };
    for (const Case& c : cases) {
        InterfaceList list;
        for (const std::string& address : c.interfaces) list.Add(address);
        list.AddBare();
        EXPECT_EQ(LanAddressesOf(list.First()), c.expected);
    }
}

TEST(LanAddresses, TheMachinesOwnListHasNoLoopback) {
    for (const std::string& address : LanAddresses()) {
        EXPECT_NE(address.rfind("127.", 0), 0u) << address;
        EXPECT_NE(address, "::1");
    }
}
