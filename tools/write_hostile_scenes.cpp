// write_hostile_scenes <folder>: writes scenes built to wear out a program that draws them, as
// the end-to-end tests of the thumbnailer and its benchmarks feed it, into <folder>/GameData/data:
// Ground and models wear one texture, texture/hostile.bmp, so that a picture of them has colour.
//   maps/crowd.rsw    a small ground with PLACEMENTS placements (default 40000, a 10 MB file) of a
//                     model of 500 triangles, crowd.omd, on a grid
//   maps/stray.rsw    the same ground with 200 placements of crowd.omd, one of them replaced by
//                     stray.omd: crowd.omd with one vertex 5 million units away
//   maps/huge.gnd     the ground, wearing texture/huge.bmp: 16384 x 16384 pixels of one colour in
//                     a 2 MB file, 800 MB once decoded
//   maps/damaged.rsw  the ground with 60 placements of as many models, damaged0.omd to
//                     damaged59.omd, each a header without nodes
//   maps/blank.rsw    a world whose ground and models are all missing: it draws nothing
//   model/textures.omd a model of one triangle whose 60 textures (TGA files) are all missing
// Usage: write_hostile_scenes <folder> [PLACEMENTS]

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "formats/byte_writer.h"
#include "formats/ground_writer.h"
#include "formats/image_writer.h"
#include "formats/model_writer.h"
#include "formats/world_writer.h"

namespace {

constexpr int kTriangles = 500;
constexpr int kDefaultPlacements = 40000;
constexpr char kTextureName[] = "hostile.bmp";

// Squares of blue and orange.
std::vector<std::uint8_t> checkerTexture() {
    constexpr std::int32_t kSide = 8;
    BmpPicture picture{kSide, kSide, {}, {}};
    for (std::int32_t i = 0; i < kSide * kSide; ++i) {
        picture.values.push_back((i / kSide + i % kSide) % 2 == 0 ? 0x3366AA : 0xCC8833);
    }
    return bmpFile(picture);
}

// A strip of `kTriangles` triangles in a 20-unit box, with one vertex moved to `farVertex`.
ModelFile stripModel(Vector3 farVertex) {
    ModelFileNode node;
    node.name = "strip";
    node.texCoords = {{0, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    for (int i = 0; i < kTriangles + 2; ++i) {
        const auto x = static_cast<float>(i % 20);
        node.vertices.push_back({x, static_cast<float>(i % 2) * 20, static_cast<float>(i / 20)});
    }
    node.vertices[kTriangles / 2] = farVertex;
    for (int i = 0; i < kTriangles; ++i) {
        const auto first = static_cast<std::int16_t>(i);
        node.faces.push_back(modelFace(
            {first, static_cast<std::int16_t>(first + 1), static_cast<std::int16_t>(first + 2)},
            {0, 1, 2}));
    }
    node.textureIndices = {0};
    ModelFile model;
    model.textureNames = {kTextureName};
    model.nodes = {node};
    return model;
}

// An RLE8 BMP of kHugeSide x kHugeSide pixels, each row runs of 255 pixels of colour 1 and the
// rest, then the end of the line.
std::vector<std::uint8_t> hugeTexture() {
    constexpr std::int32_t kHugeSide = 16384;
    constexpr int kLongestRun = 255;
    std::vector<std::uint8_t> row;
    for (int left = kHugeSide; left > 0; left -= kLongestRun) {
        row.insert(row.end(), {static_cast<std::uint8_t>(std::min(left, kLongestRun)), 1});
    }
    row.insert(row.end(), {0, 0});
    BmpLayout layout;
    layout.bitCount = 8;
    layout.compression = BmpCompression::rle8;
    layout.pixelData.emplace();
    for (std::int32_t y = 0; y < kHugeSide; ++y) {
        layout.pixelData->insert(layout.pixelData->end(), row.begin(), row.end());
    }
    layout.pixelData->insert(layout.pixelData->end(), {0, 1});
    return bmpFile({kHugeSide, kHugeSide, {}, {{20, 20, 20}, {200, 60, 40}}}, layout);
}

ModelFile missingTexturesModel() {
    ModelFile model;
    ModelFileNode node;
    node.name = "textured";
    node.vertices = {{0, 0, 0}, {30, 0, 0}, {0, 20, 8}};
    node.texCoords = {{0, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    node.faces = {modelFace({0, 1, 2}, {0, 1, 2})};
    for (int i = 0; i < 60; ++i) {
        model.textureNames.push_back("missing" + std::to_string(i) + ".tga");
        node.textureIndices.push_back(i);
    }
    model.nodes = {node};
    return model;
}

// `count` placements of the model on a square grid 30 units apart, around the origin.
WorldFileDescription crowdedWorld(const std::string& modelName, int count) {
    WorldFileDescription world{"maps\\crowd.gnd", "", {}};
    int side = 1;
    while (side * side < count) {
        ++side;
    }
    for (int i = 0; i < count; ++i) {
        const auto x = static_cast<float>((i % side - side / 2) * 30);
        const auto z = static_cast<float>((i / side - side / 2) * 30);
        world.placements.push_back({modelName, {x, 0, z}, {0, static_cast<float>(i % 360), 0}});
    }
    return world;
}

constexpr int kDamagedModels = 60;

std::string damagedModelName(int i) {
    return "damaged" + std::to_string(i) + ".omd";
}

// The 31-byte header, no textures, the end of the node list.
bool writeDamagedModels(const std::string& data) {
    for (int i = 0; i < kDamagedModels; ++i) {
        if (!writeFile(data + "model/" + damagedModelName(i), std::vector<std::uint8_t>(43))) {
            return false;
        }
    }
    return true;
}

WorldFileDescription damagedModelsWorld() {
    WorldFileDescription world = crowdedWorld("", kDamagedModels);
    for (int i = 0; i < kDamagedModels; ++i) {
        world.placements[static_cast<std::size_t>(i)].modelName = damagedModelName(i);
    }
    return world;
}

WorldFileDescription strayWorld() {
    WorldFileDescription world = crowdedWorld("crowd.omd", 200);
    world.placements[100].modelName = "stray.omd";
    return world;
}

std::optional<int> placementCount(std::string_view text) {
    int count = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), count);
    if (error != std::errc() || end != text.data() + text.size() || count < 1) {
        return std::nullopt;
    }
    return count;
}

}  // namespace

int main(int argc, char** argv) {
    const std::optional<int> placements =
        argc == 3 ? placementCount(argv[2]) : std::optional<int>(kDefaultPlacements);
    if ((argc != 2 && argc != 3) || !placements) {
        std::fputs("usage: write_hostile_scenes <folder> [PLACEMENTS]\n", stderr);
        return 2;
    }
    const std::string data = std::string(argv[1]) + "/GameData/data/";
    const bool written =
        writeFile(data + "texture/" + kTextureName, checkerTexture()) &&
        writeGroundFile(data + "maps/crowd.gnd", flatGround(8, 8, kTextureName)) &&
        writeFile(data + "texture/huge.bmp", hugeTexture()) &&
        writeGroundFile(data + "maps/huge.gnd", flatGround(8, 8, "huge.bmp")) &&
        writeModelFile(data + "model/crowd.omd", stripModel({3, 5, 7})) &&
        writeModelFile(data + "model/stray.omd", stripModel({5e6f, 5, 7})) &&
        writeModelFile(data + "model/textures.omd", missingTexturesModel()) &&
        writeWorldFile(data + "maps/crowd.rsw", crowdedWorld("crowd.omd", *placements)) &&
        writeWorldFile(data + "maps/stray.rsw", strayWorld()) && writeDamagedModels(data) &&
        writeWorldFile(data + "maps/damaged.rsw", damagedModelsWorld()) &&
        writeWorldFile(data + "maps/blank.rsw", {"maps\\missing.gnd", "", {}});
    if (!written) {
        std::fprintf(stderr, "write_hostile_scenes: cannot write into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
