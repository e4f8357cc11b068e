#include "benchmark_world.h"

#include <random>

#include "formats/byte_writer.h"
#include "formats/ground_writer.h"
#include "formats/model_writer.h"
#include "formats/world_writer.h"

namespace benchmark_world {

namespace {

constexpr int kSharedTextures = kTextures - kGroundTextures - kModels;

std::string modelName(int k) {
    return "model" + std::to_string(k) + ".omd";
}

// Each model has a texture of its own and one it shares with another model.
std::vector<std::string> modelTextures(int k) {
    return {textureName(kGroundTextures + k),
            textureName(kGroundTextures + kModels + k % kSharedTextures)};
}

// A base and a top node, each a strip of small faces along a random walk; every other model's top
// turns between two key frames.
ModelFile benchmarkModel(int k, std::mt19937& random) {
    std::uniform_real_distribution<float> step(-1.5f, 1.5f);
    std::uniform_real_distribution<float> unit(0, 1);
    ModelFile model;
    model.textureNames = modelTextures(k);
    for (const bool top : {false, true}) {
        ModelFileNode node;
        node.name = top ? "top" : "base";
        node.parentName = top ? "base" : "";
        node.textureIndices = {0, 1};
        node.transform.position = {0, top ? 10.0f : 0.0f, 0};
        Vector3 walk{};
        for (int v = 0; v < kFacesPerNode + 2; ++v) {
            walk = {walk.x + step(random), walk.y + step(random), walk.z + step(random)};
            node.vertices.push_back(walk);
            node.texCoords.push_back({0, unit(random), unit(random)});
        }
        for (int f = 0; f < kFacesPerNode; ++f) {
            const std::array<std::int16_t, 3> corners = {static_cast<std::int16_t>(f),
                                                         static_cast<std::int16_t>(f + 1),
                                                         static_cast<std::int16_t>(f + 2)};
            node.faces.push_back(modelFace(corners, corners, static_cast<std::uint16_t>(f % 2)));
        }
        if (top && k % 2 == 0) {
            node.keyFrames = {{0, {0, 0, 0, 1}}, {2000, {0, 0.7071068f, 0, 0.7071068f}}};
        }
        model.nodes.push_back(node);
    }
    return model;
}

WorldFileDescription benchmarkWorld(std::mt19937& random) {
    const float half = kGroundSize * 10 / 2.0f - 100;
    std::uniform_real_distribution<float> across(-half, half);
    std::uniform_real_distribution<float> turn(0, 360);
    std::uniform_real_distribution<float> size(1, 3);
    WorldFileDescription world;
    world.groundName = "map.gnd";
    for (int i = 0; i < kPlacements; ++i) {
        const float scale = size(random);
        world.placements.push_back({modelName(i % kModels),
                                    {across(random), 0, across(random)},
                                    {0, turn(random), 0},
                                    {scale, scale, scale}});
    }
    return world;
}

}  // namespace

std::string textureName(int i) {
    return "tex" + std::to_string(i) + (i % 2 == 0 ? ".bmp" : ".tga");
}

RgbaPicture texturePicture(int i) {
    RgbaPicture picture{kTextureSize, kTextureSize, {}};
    picture.rgba.reserve(kTextureSize * kTextureSize * 4);
    for (int y = 0; y < kTextureSize; ++y) {
        for (int x = 0; x < kTextureSize; ++x) {
            const bool stripe = (x + y * (i % 5 + 1)) / 8 % 2 == 0;
            picture.rgba.insert(picture.rgba.end(), {static_cast<std::uint8_t>(i * 37),
                                                     static_cast<std::uint8_t>(stripe ? 230 : 60),
                                                     static_cast<std::uint8_t>(x ^ y), 255});
        }
    }
    return picture;
}

Files writeWorld(const std::filesystem::path& root) {
    Files files;
    std::filesystem::remove_all(root);
    files.root = root.string();
    std::mt19937 random(11);
    for (int i = 0; i < kTextures; ++i) {
        const RgbaPicture picture = texturePicture(i);
        writeFile((root / "data" / "texture" / textureName(i)).string(),
                  i % 2 == 0 ? bmpFile(bmpPictureOf(picture)) : tgaFile(picture));
    }
    std::vector<std::string> groundTextures;
    for (int i = 0; i < kGroundTextures; ++i) {
        groundTextures.push_back(textureName(i));
    }
    files.groundPath = (root / "data" / "map.gnd").string();
    writeGroundFile(files.groundPath, terracedGround(kGroundSize, kGroundSize, groundTextures));
    files.textureLoads = groundTextures;
    for (int k = 0; k < kModels; ++k) {
        files.modelPaths.push_back((root / "data" / "model" / modelName(k)).string());
        writeModelFile(files.modelPaths.back(), benchmarkModel(k, random));
        for (const std::string& name : modelTextures(k)) {
            files.textureLoads.push_back(name);
        }
    }
    files.worldPath = (root / "map.rsw").string();
    writeWorldFile(files.worldPath, benchmarkWorld(random));
    return files;
}

}  // namespace benchmark_world
