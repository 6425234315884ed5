#pragma once

#include <string>

// The GL texture (with alpha) for a particle texture file, shared with every other user
// of the file; 0 when it cannot be had, and the particles are then drawn untextured.
unsigned LoadParticleTexture(const std::string& path);
