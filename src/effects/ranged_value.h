#pragma once

#include <cstdint>
#include <functional>
#include <string>

// Particle rules draw pseudo-random integers in 0..kRandomMax; every random value is
// scaled by that range, so any source with these results gives the same effects.
constexpr int kRandomMax = 32767;
using RandomSource = std::function<int()>;

// The classic linear congruential generator with 15-bit results.
class LinearRandom {
public:
    explicit LinearRandom(uint32_t seed = 1) : state_(seed) {}
    int operator()() {
        state_ = state_ * 1103515245u + 12345u;
        return static_cast<int>((state_ >> 16) & kRandomMax);
    }

private:
    uint32_t state_;
};

// Float to int without undefined behaviour for huge values or NaN (definitions come
// from level files): saturates at the int range, NaN gives 0.
int SaturatingInt(double value);

// One numeric particle key, written "a,b,c": either a fixed start value that changes
// by `step` per millisecond over a particle's life, or a value drawn at random
// between start and end. Particle lives use int, every other key float.
template <typename T>
struct RangedValue {
    T start{};
    T end{};
    float step = 0;
    bool random = false;

    // With referenceCount 0, c is a step count (0 makes the value random); otherwise c
    // other than 0 makes it random and the value moves from a to b over referenceCount
    // milliseconds. Text with fewer than three numbers leaves the value as it was.
    void Read(const std::string& text, int referenceCount);
    void Set(float a, float b, float c, int referenceCount);
    T Draw(const RandomSource& source) const;
};

extern template struct RangedValue<float>;
extern template struct RangedValue<int>;
