// Colours of the artwork and the one blending rule they share.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace artgen {

struct Rgb {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    constexpr bool operator==(const Rgb&) const = default;
};

// The colour t of the way from a to b (t in 0..1), rounded to the nearest value.
inline Rgb Mix(Rgb a, Rgb b, double t) {
    t = std::clamp(t, 0.0, 1.0);
    auto channel = [t](uint8_t from, uint8_t to) {
        return static_cast<uint8_t>(std::lround(from + (to - from) * t));
    };
    return {channel(a.r, b.r), channel(a.g, b.g), channel(a.b, b.b)};
}

}  // namespace artgen
