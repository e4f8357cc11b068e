#pragma once
// Writes ground files: for tests, the demo scene, worlds and benchmarks.

#include <cstdint>
#include <string>
#include <vector>

#include "ground/ground_file.h"

// The file's bytes; the ignored and skipped bytes all hold `filler`. The cells are written as
// given, so a test can write fewer or more than width x height.
std::vector<std::uint8_t> groundFileBytes(const GroundFile& ground, std::uint8_t filler = 0);

bool writeGroundFile(const std::string& path, const GroundFile& ground);

// A surface that shows the whole texture once on its quad: pair k at the corner of height hk.
GroundSurface wholeTextureSurface(std::uint16_t textureIndex);

// A cell with flat top `height` and the given surfaces (-1 for none).
GroundCell flatCell(float height, std::int32_t topSurface, std::int32_t rowWallSurface = -1,
                    std::int32_t columnWallSurface = -1);

// A level ground of width x height cells at height 0, each with a top showing the one texture.
GroundFile flatGround(std::int32_t width, std::int32_t height, std::string textureName);

// A terraced landscape of width x height cells: flat tops at levels 5 units apart that rise and
// fall in waves, a wall wherever two neighbours differ, and one surface per texture, chosen by
// level. Without textures no quad is drawn.
GroundFile terracedGround(std::int32_t width, std::int32_t height,
                          std::vector<std::string> textureNames);
