#pragma once
// Smooth pseudo-random noise for painting the demo's textures and shaping its landscape: the same
// seed always gives the same picture.

#include <cstdint>

// A value in [0, 1) for a lattice point.
float latticeValue(std::int32_t x, std::int32_t y, std::int32_t seed);

// Value noise in [0, 1], smoothly interpolated between lattice points one unit apart. With a
// period, the lattice repeats every `period` units, so a texture painted from it tiles.
float valueNoise(float x, float y, std::int32_t seed, std::int32_t period = 0);

// Octaves of value noise, each of twice the frequency and half the weight, in [0, 1].
float fractalNoise(float x, float y, std::int32_t seed, int octaves, std::int32_t period = 0);

// 0 below edge0, 1 above edge1, a smooth S-curve between.
float smoothStep(float edge0, float edge1, float x);

float mixValue(float a, float b, float t);
