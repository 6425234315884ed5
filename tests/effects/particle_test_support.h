#pragma once

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "effects/particle_definition.h"
#include "effects/ranged_value.h"

// A random source that repeats the given results in order.
inline RandomSource Repeating(std::vector<int> results) {
    size_t next = 0;
    return [results = std::move(results), next]() mutable {
        int result = results[next % results.size()];
        ++next;
        return result;
    };
}

// A still point emitter: every particle starts where the emitter is and does not move,
// lives a second and is never replaced; `overrides` change or add keys.
inline ParticleDefinition StillEmitter(std::initializer_list<std::pair<std::string, std::string>> overrides = {}) {
    ParticleDefinition definition{"still",
                                  {{"type", "moving"},
                                   {"surf_type", "-1"},
                                   {"texture", "spark.bmp"},
                                   {"live", "1000,1000,0"},
                                   {"gen_rate", "0,0,0"},
                                   {"size", "1,1,0"},
                                   {"red", "1,1,0"},
                                   {"green", "1,1,0"},
                                   {"blue", "1,1,0"},
                                   {"alpha", "1,1,0"},
                                   {"particles", "100"}}};
    // A key's first value counts, so overrides go in front.
    definition.entries.insert(definition.entries.begin(), overrides.begin(), overrides.end());
    return definition;
}
