#pragma once

#include <cstddef>
#include <map>
#include <string>

// How many connections the server holds at once, in all and from one address, so that
// one host cannot take every place.
class Admission {
public:
    Admission(size_t maxTotal, size_t maxPerAddress) : maxTotal_(maxTotal), maxPerAddress_(maxPerAddress) {}

    // Counts the connection in when there is room for it.
    bool Admit(const std::string& address);
    void Release(const std::string& address);
    size_t Total() const { return total_; }

private:
    size_t maxTotal_;
    size_t maxPerAddress_;
    size_t total_ = 0;
    std::map<std::string, size_t> perAddress_;
};
