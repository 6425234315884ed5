#include "effects/ranged_value.h"

#include <climits>
#include <cmath>
#include <cstdio>

int SaturatingInt(double value) {
    if (std::isnan(value)) return 0;
    if (value >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (value <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(value);
}

namespace {

template <typename T>
T FromFloat(double value);

template <>
float FromFloat<float>(double value) {
    return static_cast<float>(value);
}

template <>
int FromFloat<int>(double value) {
    return SaturatingInt(value);
}

}  // namespace

template <typename T>
void RangedValue<T>::Read(const std::string& text, int referenceCount) {
    float a = 0, b = 0, c = 0;
    if (std::sscanf(text.c_str(), "%g,%g,%g", &a, &b, &c) != 3) return;
    Set(a, b, c, referenceCount);
}

template <typename T>
void RangedValue<T>::Set(float a, float b, float c, int referenceCount) {
    start = FromFloat<T>(a);
    end = FromFloat<T>(b);
    step = 0;
    if (referenceCount == 0) {
        int stepCount = SaturatingInt(c);
        random = stepCount == 0;
        if (!random) step = (b - a) / static_cast<float>(stepCount);
    } else {
        random = c != 0;
        if (!random) step = (b - a) / static_cast<float>(referenceCount);
    }
}

template <typename T>
T RangedValue<T>::Draw(const RandomSource& source) const {
    if (!random) return start;
    double span = static_cast<double>(end) - static_cast<double>(start);
    return FromFloat<T>(static_cast<double>(start) + span * source() / kRandomMax);
}

template struct RangedValue<float>;
template struct RangedValue<int>;
