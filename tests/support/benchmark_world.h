#pragma once
// A world the size of a game map: a 512 x 512 ground, 2,000 placements of 200 distinct models and
// 300 textures of 256 x 256 (half BMP, half TGA). bench_world measures its load and its frames; the
// picture test draws it with both renderers.

#include <filesystem>
#include <string>
#include <vector>

#include "formats/image_writer.h"

namespace benchmark_world {

inline constexpr int kGroundSize = 512;
inline constexpr int kGroundTextures = 4;
inline constexpr int kModels = 200;
inline constexpr int kPlacements = 2000;
inline constexpr int kTextures = 300;
inline constexpr int kTextureSize = 256;
inline constexpr int kFacesPerNode = 50;

// The files written, by the paths the viewer composes from the world.
struct Files {
    std::string root;  // the data root
    std::string worldPath;
    std::string groundPath;
    std::vector<std::string> modelPaths;
    std::vector<std::string> textureLoads;  // the texture of every load, in the world's order
};

// Writes the world into the folder `root`, emptied first; its world file is root/map.rsw.
Files writeWorld(const std::filesystem::path& root);

std::string textureName(int i);
// Diagonal stripes, each texture in a colour and slant of its own.
RgbaPicture texturePicture(int i);

}  // namespace benchmark_world
