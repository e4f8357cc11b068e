#include "demo/demo_noise.h"

#include <cmath>

namespace {

std::int32_t wrapped(std::int32_t value, std::int32_t period) {
    if (period <= 0) {
        return value;
    }
    const std::int32_t rest = value % period;
    return rest < 0 ? rest + period : rest;
}

}  // namespace

float latticeValue(std::int32_t x, std::int32_t y, std::int32_t seed) {
    std::uint32_t h = static_cast<std::uint32_t>(x) * 0x8da6b343u ^
                      static_cast<std::uint32_t>(y) * 0xd8163841u ^
                      static_cast<std::uint32_t>(seed) * 0xcb1ab31fu;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return static_cast<float>(h & 0xffffffu) / static_cast<float>(0x1000000);
}

float valueNoise(float x, float y, std::int32_t seed, std::int32_t period) {
    const float cellX = std::floor(x);
    const float cellY = std::floor(y);
    const auto x0 = static_cast<std::int32_t>(cellX);
    const auto y0 = static_cast<std::int32_t>(cellY);
    const float tx = smoothStep(0, 1, x - cellX);
    const float ty = smoothStep(0, 1, y - cellY);
    const auto at = [&](std::int32_t dx, std::int32_t dy) {
        return latticeValue(wrapped(x0 + dx, period), wrapped(y0 + dy, period), seed);
    };
    return mixValue(mixValue(at(0, 0), at(1, 0), tx), mixValue(at(0, 1), at(1, 1), tx), ty);
}

float fractalNoise(float x, float y, std::int32_t seed, int octaves, std::int32_t period) {
    float sum = 0;
    float weight = 1;
    float total = 0;
    for (int octave = 0; octave < octaves; ++octave) {
        sum += weight * valueNoise(x, y, seed + octave, period);
        total += weight;
        weight *= 0.5f;
        x *= 2;
        y *= 2;
        period *= 2;
    }
    return sum / total;
}

float smoothStep(float edge0, float edge1, float x) {
    float t = (x - edge0) / (edge1 - edge0);
    t = t < 0 ? 0 : (t > 1 ? 1 : t);
    return t * t * (3 - 2 * t);
}

float mixValue(float a, float b, float t) {
    return a + (b - a) * t;
}
