#include "demo/demo_terrain.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "demo/demo_noise.h"
#include "demo/demo_textures.h"
#include "formats/ground_writer.h"

namespace {

constexpr int kCells = 128;
constexpr float kCellSize = 10;
constexpr float kWaterLevel = -6;  // elevation of the lake's surface
constexpr int kTileCells = 4;      // a ground texture spans 4 x 4 cells
constexpr float kTierRise[3] = {0, 24, 48};

// Ground textures in the file's order, one per terrain kind.
const DemoTexture* const kGroundTextures[] = {
    &demo_texture::grass, &demo_texture::meadow, &demo_texture::rock, &demo_texture::dirt,
    &demo_texture::sand,  &demo_texture::snow,   &demo_texture::water};

float bump(float x, float y, float centreX, float centreY, float radius) {
    const float distance = std::hypot(x - centreX, y - centreY) / radius;
    return 1 - smoothStep(0, 1, distance);
}

// The path winds from the start to the village green.
float pathCentre(float y) {
    return 640 + 50 * smoothStep(640, 860, y) + 8 * std::sin(y / 40);
}

bool onPath(float x, float y) {
    return y > 560 && y < 900 && std::abs(x - pathCentre(y)) < 9;
}

float lakeDepth(float x, float y) {
    return 34 * bump(x, y, 450, 890, 130);
}

// Elevation (up is positive) of the smooth land before the mesa's tiers: gentle rolls, hills, the
// mountains that close the view on every side, the lake's basin and the level village green.
float landElevation(float x, float y) {
    const float rolls = 16 * (fractalNoise(x / 160, y / 160, 101, 4) - 0.5f);
    const float ridge = 0.65f + 0.7f * fractalNoise(x / 90, y / 90, 103, 4);
    const float mountains =
        ridge * (200 * smoothStep(1110, 1275, y) + 150 * smoothStep(230, 10, y) +
                 140 * smoothStep(190, 10, x) + 160 * smoothStep(1090, 1270, x));
    const float hills = 55 * bump(x, y, 360, 420, 150) + 70 * bump(x, y, 1010, 330, 170) +
                        40 * bump(x, y, 1060, 800, 120);
    const float village = bump(x, y, 700, 860, 150);
    const float depth = lakeDepth(x, y);
    const float land = mixValue(rolls + mountains + hills - depth, 2, village * 0.8f);
    return depth > 0 ? std::max(land, kWaterLevel) : land;
}

// The mesa: an outer tier and an inner one, their rims frayed by noise.
int tierOf(float x, float y) {
    const auto inside = [&](float centreX, float centreY, float halfX, float halfY) {
        const float dx = (x - centreX) / halfX;
        const float dy = (y - centreY) / halfY;
        const float fray = 0.35f * (fractalNoise(x / 40, y / 40, 107, 3) - 0.5f);
        return std::pow(dx * dx, 2.0f) + std::pow(dy * dy, 2.0f) < 1 + fray;
    };
    if (inside(710, 1035, 130, 26)) {
        return 2;
    }
    return inside(680, 1010, 260, 50) ? 1 : 0;
}

float forestDensity(float x, float y) {
    const float region = smoothStep(770, 840, x) * smoothStep(1180, 1060, x) *
                         smoothStep(420, 520, y) * smoothStep(1040, 960, y);
    return region * fractalNoise(x / 70, y / 70, 109, 3) * 1.6f;
}

Terrain chooseTerrain(float x, float y, int tier, const float corners[4]) {
    // Heights grow downward: the smallest height is the highest corner.
    const auto [highest, lowest] = std::minmax({corners[0], corners[1], corners[2], corners[3]});
    const float elevation = -highest;
    const bool lakeside = lakeDepth(x, y) > 0;
    if (lakeside && elevation <= kWaterLevel + 0.01f) {
        return Terrain::water;
    }
    if (lakeside && -lowest < kWaterLevel + 3) {
        return Terrain::sand;
    }
    if (onPath(x, y)) {
        return Terrain::dirt;
    }
    if (elevation > 175) {
        return Terrain::snow;
    }
    if (tier == 2 || elevation > 130 || lowest - highest > 16) {
        return Terrain::rock;
    }
    if (tier == 1 || forestDensity(x, y) > 0.5f) {
        return Terrain::meadow;
    }
    return Terrain::grass;
}

// Surfaces: for each texture, one top per cell of its 4 x 4 tile, so the picture runs on across
// neighbouring cells; then the rock walls, one per whole number of cell sizes they are high, so
// that rock strata keep their size on walls of any height.
class SurfaceTable {
  public:
    explicit SurfaceTable(GroundFile& ground) : ground_(ground) {
        for (std::uint16_t texture = 0; texture < std::size(kGroundTextures); ++texture) {
            for (int row = 0; row < kTileCells; ++row) {
                for (int column = 0; column < kTileCells; ++column) {
                    ground_.surfaces.push_back(tileSurface(texture, row, column));
                }
            }
        }
    }

    std::int32_t top(Terrain terrain, int row, int column) const {
        return (static_cast<int>(terrain) * kTileCells + row % kTileCells) * kTileCells +
               column % kTileCells;
    }

    std::int32_t wall(float heightDifference) {
        const int span = std::clamp(
            static_cast<int>(std::lround(std::abs(heightDifference) / kCellSize)), 1, 12);
        const auto found = walls_.find(span);
        if (found != walls_.end()) {
            return found->second;
        }
        const auto rock = static_cast<std::uint16_t>(Terrain::rock);
        const float t = static_cast<float>(span);
        // Pairs 0 and 1 lie on this cell's edge, 3 and 2 on the neighbour's.
        ground_.surfaces.push_back({{0, 1, 0, 1}, {0, 0, t, t}, rock, {}});
        const auto index = static_cast<std::int32_t>(ground_.surfaces.size() - 1);
        walls_.emplace(span, index);
        return index;
    }

  private:
    // Pair k belongs to corner hk: h0 at (x0, y0), h1 at (x1, y0), h2 at (x0, y1), h3 at (x1, y1).
    static GroundSurface tileSurface(std::uint16_t texture, int row, int column) {
        const float step = 1.0f / kTileCells;
        const float u0 = column * step;
        const float v0 = row * step;
        return {{u0, u0 + step, u0, u0 + step}, {v0, v0, v0 + step, v0 + step}, texture, {}};
    }

    GroundFile& ground_;
    std::map<int, std::int32_t> walls_;
};

struct CornerGrid {
    std::vector<float> elevation;  // (kCells + 1)^2 corners, row by row
    float at(int row, int column) const { return elevation[row * (kCells + 1) + column]; }
};

CornerGrid landCorners() {
    CornerGrid grid;
    for (int row = 0; row <= kCells; ++row) {
        for (int column = 0; column <= kCells; ++column) {
            grid.elevation.push_back(landElevation(column * kCellSize, row * kCellSize));
        }
    }
    return grid;
}

// A wall joins two edges whose heights differ; -1 where they meet.
std::int32_t wallBetween(SurfaceTable& surfaces, float a0, float a1, float b0, float b1) {
    const float difference = std::max(std::abs(a0 - b0), std::abs(a1 - b1));
    return difference > 0.01f ? surfaces.wall(difference) : -1;
}

void joinWithWalls(DemoTerrain& terrain, SurfaceTable& surfaces) {
    std::vector<GroundCell>& cells = terrain.ground.cells;
    for (int row = 0; row < kCells; ++row) {
        for (int column = 0; column < kCells; ++column) {
            GroundCell& cell = cells[row * kCells + column];
            if (row + 1 < kCells) {
                const GroundCell& next = cells[(row + 1) * kCells + column];
                cell.rowWallSurface = wallBetween(surfaces, cell.heights[2], cell.heights[3],
                                                  next.heights[0], next.heights[1]);
            }
            if (column + 1 < kCells) {
                const GroundCell& next = cells[row * kCells + column + 1];
                cell.columnWallSurface = wallBetween(surfaces, cell.heights[3], cell.heights[1],
                                                     next.heights[2], next.heights[0]);
            }
        }
    }
}

std::size_t cellIndex(float x, float y) {
    const auto clampCell = [](float value) {
        return std::clamp(static_cast<int>(value / kCellSize), 0, kCells - 1);
    };
    return static_cast<std::size_t>(clampCell(y) * kCells + clampCell(x));
}

}  // namespace

float DemoTerrain::heightAt(float x, float y) const {
    const GroundCell& cell = ground.cells[cellIndex(x, y)];
    const float fx = std::clamp(x / kCellSize - std::floor(x / kCellSize), 0.0f, 1.0f);
    const float fy = std::clamp(y / kCellSize - std::floor(y / kCellSize), 0.0f, 1.0f);
    return mixValue(mixValue(cell.heights[0], cell.heights[1], fx),
                    mixValue(cell.heights[2], cell.heights[3], fx), fy);
}

Terrain DemoTerrain::terrainAt(float x, float y) const {
    return cellTerrain[cellIndex(x, y)];
}

int DemoTerrain::tierAt(float x, float y) const {
    return cellTier[cellIndex(x, y)];
}

float DemoTerrain::extent() const {
    return kCells * kCellSize;
}

DemoTerrain demoTerrain() {
    DemoTerrain terrain;
    GroundFile& ground = terrain.ground;
    ground.width = kCells;
    ground.height = kCells;
    for (const DemoTexture* texture : kGroundTextures) {
        ground.textureNames.push_back(texture->dataName);
    }
    SurfaceTable surfaces(ground);
    const CornerGrid land = landCorners();
    for (int row = 0; row < kCells; ++row) {
        for (int column = 0; column < kCells; ++column) {
            const float x = (column + 0.5f) * kCellSize;
            const float y = (row + 0.5f) * kCellSize;
            const int tier = tierOf(x, y);
            const float rise = kTierRise[tier];
            // Heights grow downward: h0 (x0, y0), h1 (x1, y0), h2 (x0, y1), h3 (x1, y1).
            const float heights[4] = {
                -(land.at(row, column) + rise), -(land.at(row, column + 1) + rise),
                -(land.at(row + 1, column) + rise), -(land.at(row + 1, column + 1) + rise)};
            const Terrain kind = chooseTerrain(x, y, tier, heights);
            terrain.cellTerrain.push_back(kind);
            terrain.cellTier.push_back(static_cast<std::int8_t>(tier));
            ground.cells.push_back({{heights[0], heights[1], heights[2], heights[3]},
                                    surfaces.top(kind, row, column),
                                    -1,
                                    -1});
        }
    }
    joinWithWalls(terrain, surfaces);
    return terrain;
}
