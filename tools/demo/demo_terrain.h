#pragma once
// The demo's landscape, 128 x 128 cells: a meadow around the start with a path to a village, a lake
// on the left, a forest on the right, a two-tier mesa with rock cliffs ahead, and mountains with
// snow all around. Coordinates are the ground's own: x along a row, y across the rows, heights
// growing downward; the viewer starts above the middle, looking toward larger y.

#include <cstdint>
#include <vector>

#include "ground/ground_file.h"

enum class Terrain { grass, meadow, rock, dirt, sand, snow, water };

struct DemoTerrain {
    GroundFile ground;
    std::vector<Terrain> cellTerrain;   // per cell, row by row
    std::vector<std::int8_t> cellTier;  // per cell: 0 on the ground, 1 and 2 on the mesa's tiers

    // The ground's height at (x, y), interpolated within the cell's top.
    float heightAt(float x, float y) const;
    Terrain terrainAt(float x, float y) const;
    int tierAt(float x, float y) const;
    float extent() const;  // the ground's width and depth
};

DemoTerrain demoTerrain();
