#include "effects/particle_definition.h"

#include <climits>
#include <cstdlib>

std::string ParticleDefinition::Get(const std::string& key) const {
    for (const auto& entry : entries) {
        if (entry.first == key) return entry.second;
    }
    return std::string();
}

int ParticleDefinition::GetInt(const std::string& key) const {
    std::string value = Get(key);
    long number = std::strtol(value.c_str(), nullptr, 10);
    if (number > INT_MAX) return INT_MAX;
    if (number < INT_MIN) return INT_MIN;
    return static_cast<int>(number);
}
