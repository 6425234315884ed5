#pragma once

#include <string>
#include <vector>

struct ifaddrs;

// The numeric addresses other machines on the network can reach this one at: the
// IPv4 addresses of its interfaces first, then the global IPv6 ones; no loopback,
// no repeats. Link-local IPv6 addresses are left out, as they only work together
// with the name of an interface on the other machine.
std::vector<std::string> LanAddresses();
// The same from an interface list as getifaddrs hands it over.
std::vector<std::string> LanAddressesOf(const ifaddrs* interfaces);
