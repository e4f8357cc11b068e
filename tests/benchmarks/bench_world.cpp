// A world the size of a game map: a 512 x 512 ground, 2,000 placements of 200 distinct models and
// 300 textures of 256 x 256 (half BMP, half TGA), written once into a temporary folder. Loading is
// measured whole and in its parts: reading and parsing the files, decoding the textures, and
// uploading them with their mipmaps. Then whole frames on the headless backend from a few poses.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <map>
#include <random>

#include "formats/byte_writer.h"
#include "formats/ground_writer.h"
#include "formats/image_writer.h"
#include "formats/model_writer.h"
#include "formats/world_writer.h"
#include "gl_bench.h"
#include "ground/ground_file.h"
#include "io/host_files.h"
#include "model/model_file.h"
#include "texture/bmp_reader.h"
#include "texture/texture_loader.h"
#include "texture/tga_reader.h"
#include "viewer_pose.h"
#include "world/world.h"
#include "world/world_file.h"

namespace {

constexpr int kGroundSize = 512;
constexpr int kGroundTextures = 4;
constexpr int kModels = 200;
constexpr std::int32_t kMaxTextureSide = 16384;  // GL_MAX_TEXTURE_SIZE of a common driver
constexpr int kPlacements = 2000;
constexpr int kTextures = 300;
constexpr int kTextureSize = 256;
constexpr int kFacesPerNode = 50;
constexpr int kSharedTextures = kTextures - kGroundTextures - kModels;

std::string textureName(int i) {
    return "tex" + std::to_string(i) + (i % 2 == 0 ? ".bmp" : ".tga");
}

std::string modelName(int k) {
    return "model" + std::to_string(k) + ".omd";
}

// Diagonal stripes, each texture in a colour and slant of its own.
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

struct Scene {
    std::string root;
    std::string worldPath;
    std::string groundPath;
    std::vector<std::string> modelPaths;
    std::vector<std::string> textureLoads;  // the texture of every load, in the world's order
};

// The path as the viewer composes it.
std::string texturePath(const std::string& root, const std::string& name) {
    return *composeDataPath("%s\\data\\texture\\%s", root, name);
}

// Written on first use; the model log goes into the same folder.
const Scene& scene() {
    static const Scene written = [] {
        Scene s;
        const auto root = std::filesystem::temp_directory_path() / "orvalis_bench_world";
        std::filesystem::remove_all(root);
        s.root = root.string();
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
        s.groundPath = (root / "data" / "map.gnd").string();
        writeGroundFile(s.groundPath, terracedGround(kGroundSize, kGroundSize, groundTextures));
        s.textureLoads = groundTextures;
        for (int k = 0; k < kModels; ++k) {
            s.modelPaths.push_back((root / "data" / "model" / modelName(k)).string());
            writeModelFile(s.modelPaths.back(), benchmarkModel(k, random));
            for (const std::string& name : modelTextures(k)) {
                s.textureLoads.push_back(name);
            }
        }
        s.worldPath = (root / "map.rsw").string();
        writeWorldFile(s.worldPath, benchmarkWorld(random));
        std::filesystem::current_path(root);
        return s;
    }();
    return written;
}

BenchmarkGlContext& context() {
    static BenchmarkGlContext gl;
    return gl;
}

void deleteTextures(World& world) {
    glDeleteTextures(static_cast<GLsizei>(world.ground.textures.size()),
                     world.ground.textures.data());
    for (Model& model : world.models) {
        glDeleteTextures(static_cast<GLsizei>(model.textures.size()), model.textures.data());
    }
}

void BM_LoadWorld(benchmark::State& state) {
    context();
    const Scene& s = scene();
    World world;
    TextureCapabilities textures = TextureCapabilities::ofCurrentContext();
    for (auto _ : state) {
        SceneLoad load(textures);
        world.readWorld(s.root.c_str(), s.worldPath.c_str(), load, {});
        state.PauseTiming();
        deleteTextures(world);
        state.ResumeTiming();
    }
    state.counters["models loaded"] =
        static_cast<double>(std::count(world.loaded.begin(), world.loaded.end(), 1));
    state.counters["texture loads"] = static_cast<double>(s.textureLoads.size());
}
BENCHMARK(BM_LoadWorld)->Unit(benchmark::kMillisecond)->Iterations(2);

// Every file the load reads, each texture as often as it is loaded.
std::vector<std::string> filesOfTheLoad() {
    const Scene& s = scene();
    std::vector<std::string> paths = {s.worldPath, s.groundPath};
    paths.insert(paths.end(), s.modelPaths.begin(), s.modelPaths.end());
    for (const std::string& name : s.textureLoads) {
        paths.push_back(texturePath(s.root, name));
    }
    return paths;
}

void BM_ReadFiles(benchmark::State& state) {
    const std::vector<std::string> paths = filesOfTheLoad();
    std::int64_t bytes = 0;
    for (auto _ : state) {
        for (const std::string& path : paths) {
            bytes += static_cast<std::int64_t>(readHostFile(path)->size());
        }
    }
    state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_ReadFiles)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ParseFiles(benchmark::State& state) {
    const Scene& s = scene();
    const auto world = *readHostFile(s.worldPath);
    const auto ground = *readHostFile(s.groundPath);
    std::vector<std::vector<std::uint8_t>> models;
    for (const std::string& path : s.modelPaths) {
        models.push_back(*readHostFile(path));
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(parseWorldFile(world));
        benchmark::DoNotOptimize(parseGroundFile(ground));
        for (const auto& bytes : models) {
            benchmark::DoNotOptimize(parseModelFile(bytes));
        }
    }
}
BENCHMARK(BM_ParseFiles)->Unit(benchmark::kMillisecond)->Iterations(3);

// The texture files by name, read once.
std::map<std::string, std::vector<std::uint8_t>> textureFiles() {
    std::map<std::string, std::vector<std::uint8_t>> files;
    for (int i = 0; i < kTextures; ++i) {
        files[textureName(i)] = *readHostFile(texturePath(scene().root, textureName(i)));
    }
    return files;
}

void BM_DecodeTextures(benchmark::State& state) {
    const auto files = textureFiles();
    for (auto _ : state) {
        for (const std::string& name : scene().textureLoads) {
            const auto& file = files.at(name);
            if (name.ends_with(".bmp")) {
                benchmark::DoNotOptimize(decodeDib(file, kMaxTextureSide));
            } else {
                TgaImage image;
                benchmark::DoNotOptimize(decodeTga(file, image, 0, kMaxTextureSide));
            }
        }
    }
}
BENCHMARK(BM_DecodeTextures)->Unit(benchmark::kMillisecond)->Iterations(3);

// The loader's whole path for every texture load: reading, decoding, RGBA rows and upload.
void BM_LoadTextures(benchmark::State& state) {
    context();
    const std::vector<std::string>& loads = scene().textureLoads;
    std::vector<GLuint> generated(loads.size());
    TextureCapabilities textures = TextureCapabilities::ofCurrentContext();
    for (auto _ : state) {
        glGenTextures(static_cast<GLsizei>(generated.size()), generated.data());
        std::vector<GLuint> names = generated;
        SceneLoad load(textures);
        for (std::size_t i = 0; i < loads.size(); ++i) {
            loadTexture(scene().root.c_str(), loads[i].c_str(), names[i], load);
        }
        glFinish();
        state.PauseTiming();
        glDeleteTextures(static_cast<GLsizei>(generated.size()), generated.data());
        state.ResumeTiming();
    }
}
BENCHMARK(BM_LoadTextures)->Unit(benchmark::kMillisecond)->Iterations(3);

// RGBA texels as the loader hands them to GL, built into mipmapped textures.
void BM_UploadTextures(benchmark::State& state) {
    context();
    const std::vector<std::string>& loads = scene().textureLoads;
    std::map<std::string, RgbaPicture> pictures;
    for (int i = 0; i < kTextures; ++i) {
        pictures[textureName(i)] = texturePicture(i);
    }
    std::vector<GLuint> names(loads.size());
    for (auto _ : state) {
        glGenTextures(static_cast<GLsizei>(names.size()), names.data());
        for (std::size_t i = 0; i < loads.size(); ++i) {
            glBindTexture(GL_TEXTURE_2D, names[i]);
            gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA, kTextureSize, kTextureSize, GL_RGBA,
                              GL_UNSIGNED_BYTE, pictures.at(loads[i]).rgba.data());
        }
        glFinish();
        state.PauseTiming();
        glDeleteTextures(static_cast<GLsizei>(names.size()), names.data());
        state.ResumeTiming();
    }
}
BENCHMARK(BM_UploadTextures)->Unit(benchmark::kMillisecond)->Iterations(3);

World& loadedWorld() {
    static World world = [] {
        context();
        World w;
        TextureCapabilities textures = TextureCapabilities::ofCurrentContext();
        SceneLoad load(textures);
        w.readWorld(scene().root.c_str(), scene().worldPath.c_str(), load, {});
        return w;
    }();
    return world;
}

const NamedPose kPoses[] = {
    {"start: centre, level", {{0, 0, 1}, {0, 0, 0}}},
    {"high, looking down ahead", {{0, 600, 0}, {0, 0, -800}}},
    {"edge, across the world", {{0, 0, 2600}, {0, 0, 0}}},
};

// Frames of the world as the viewer draws them.
void BM_DrawWorld(benchmark::State& state) {
    World& world = loadedWorld();
    const NamedPose& pose = kPoses[state.range(0)];
    useSceneState();
    applyViewerPose(pose.pose);
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        world.drawWorld();
        glFinish();
    }
    state.SetLabel(pose.name);
    state.counters["model faces"] = kPlacements * 2 * kFacesPerNode;
}
BENCHMARK(BM_DrawWorld)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
