#include "formats/ground_writer.h"

#include <cmath>

#include "formats/byte_writer.h"
#include "io/byte_cursor.h"

namespace {

void fill(ByteWriter& out, std::size_t count, std::uint8_t filler) {
    out.raw(std::vector<std::uint8_t>(count, filler));
}

// Terrace level of a cell; heights grow downward, so a higher terrace has a smaller height.
int terraceLevel(std::int32_t row, std::int32_t column) {
    return static_cast<int>(std::lround(3 * std::sin(row * 0.13) + 3 * std::cos(column * 0.09) +
                                        2 * std::sin((row + column) * 0.05)));
}

}  // namespace

std::vector<std::uint8_t> groundFileBytes(const GroundFile& ground, std::uint8_t filler) {
    ByteWriter out;
    fill(out, 6, filler);
    out.i32(ground.width);
    out.i32(ground.height);
    fill(out, 4, filler);
    out.i32(static_cast<std::int32_t>(ground.textureNames.size()));
    fill(out, 4, filler);
    for (const std::string& name : ground.textureNames) {
        out.name(name);
        fill(out, kGroundTextureEntrySize - kNameFieldSize, filler);
    }
    out.i32(static_cast<std::int32_t>(ground.blocks.size()));
    fill(out, kGroundBlockCountPadding, filler);
    out.raw(ground.blocks.data(), ground.blocks.size() * sizeof(GroundBlock));
    out.i32(static_cast<std::int32_t>(ground.surfaces.size()));
    out.raw(ground.surfaces.data(), ground.surfaces.size() * sizeof(GroundSurface));
    out.raw(ground.cells.data(), ground.cells.size() * sizeof(GroundCell));
    return out.bytes();
}

bool writeGroundFile(const std::string& path, const GroundFile& ground) {
    return writeFile(path, groundFileBytes(ground));
}

GroundSurface wholeTextureSurface(std::uint16_t textureIndex) {
    return {{0, 1, 0, 1}, {0, 0, 1, 1}, textureIndex, {}};
}

GroundCell flatCell(float height, std::int32_t topSurface, std::int32_t rowWallSurface,
                    std::int32_t columnWallSurface) {
    return {{height, height, height, height}, topSurface, rowWallSurface, columnWallSurface};
}

GroundFile flatGround(std::int32_t width, std::int32_t height, std::string textureName) {
    GroundFile ground;
    ground.width = width;
    ground.height = height;
    ground.textureNames = {std::move(textureName)};
    ground.surfaces = {wholeTextureSurface(0)};
    ground.cells.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height),
                        flatCell(0, 0));
    return ground;
}

GroundFile terracedGround(std::int32_t width, std::int32_t height,
                          std::vector<std::string> textureNames) {
    GroundFile ground;
    ground.width = width;
    ground.height = height;
    const auto surfaceCount = static_cast<int>(textureNames.size());
    for (int i = 0; i < surfaceCount; ++i) {
        ground.surfaces.push_back(wholeTextureSurface(static_cast<std::uint16_t>(i)));
    }
    ground.textureNames = std::move(textureNames);
    const auto surfaceOf = [&](int level) {
        return surfaceCount == 0 ? -1 : std::abs(level) % surfaceCount;
    };
    for (std::int32_t row = 0; row < height; ++row) {
        for (std::int32_t column = 0; column < width; ++column) {
            const int level = terraceLevel(row, column);
            const int surface = surfaceOf(level);
            const bool rowStep = row + 1 < height && terraceLevel(row + 1, column) != level;
            const bool columnStep = column + 1 < width && terraceLevel(row, column + 1) != level;
            ground.cells.push_back(flatCell(-5.0f * level, surface, rowStep ? surface : -1,
                                            columnStep ? surface : -1));
        }
    }
    return ground;
}
