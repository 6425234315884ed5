#pragma once

// Positions, velocities and rotations (degrees about x, then y, then z) as three
// floats; colours as red, green, blue, alpha in 0..1. Game code hands references to
// a moving object's vectors to sounds and particle emitters, which follow them.
struct Vec3 {
    float x = 0, y = 0, z = 0;
};

struct Colour {
    float r = 0, g = 0, b = 0, a = 1;
};
