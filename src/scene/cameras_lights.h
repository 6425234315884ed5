#pragma once

#include <cstdint>
#include <string>

#include "base/vec3.h"

// A viewpoint of the scene: the eye, the point it looks at and its up vector.
struct Camera {
    std::string name;
    Vec3 location;
    Vec3 lookAt;
    Vec3 upDir;
};

// Light kinds as level files and scene files number them.
enum LightType : int16_t {
    kLightDirectional = 1,
    kLightPositional = 2,
    kLightSpot = 4,
};

// One fixed-function GL light. `id` is the GL light name: GL_LIGHT0 plus the light's
// position in the scene's list, so the names have no gaps.
struct Light {
    uint32_t id = 0;
    int16_t type = kLightPositional;
    float position[4] = {0, 0, 0, 1};
    float direction[4] = {0, 0, 0, 0};
    float specular[4] = {0, 0, 0, 1};
    float ambient[4] = {0, 0, 0, 1};
    float diffuse[4] = {0, 0, 0, 1};
    float cutoff = 180;  // degrees; 180 for lights that are not spots
    float exponent = 0;
};
