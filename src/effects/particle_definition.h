#pragma once

#include <string>
#include <utility>
#include <vector>

// The key = value pairs that describe one emitter, as written in a script's pts block.
// A key written twice takes its first value; a missing key reads as empty.
struct ParticleDefinition {
    std::string name;
    std::vector<std::pair<std::string, std::string>> entries;

    std::string Get(const std::string& key) const;
    // The leading integer of the value (saturated), 0 when missing or not a number.
    int GetInt(const std::string& key) const;
};
