// Loading and drawing a model of 30 nodes x 2,000 faces on the headless backend.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>

#include "formats/byte_writer.h"
#include "formats/image_writer.h"
#include "formats/model_writer.h"
#include "gl_bench.h"
#include "model/model.h"

namespace {

constexpr int kNodes = 30;
constexpr int kFacesPerNode = 2000;
constexpr int kVerticesPerNode = 1000;

// Nodes in a binary tree, every third one animated. The vertices follow a random walk and each
// face joins three neighbours on it, so that faces are small as in a real model.
ModelFileNode benchmarkNode(int index, std::mt19937& random) {
    std::uniform_real_distribution<float> step(-0.02f, 0.02f);
    std::uniform_real_distribution<float> unit(0, 1);
    ModelFileNode node;
    node.name = "node" + std::to_string(index);
    node.parentName = index == 0 ? "" : "node" + std::to_string((index - 1) / 2);
    node.textureIndices = {0, 1};
    node.transform.position = {0.1f, 0, 0};
    node.transform.rotationAngle = 0.1f;
    node.transform.rotationAxis = {0, 1, 0};
    Vector3 walk{};
    for (int v = 0; v < kVerticesPerNode; ++v) {
        walk = {walk.x + step(random), walk.y + step(random), walk.z + step(random)};
        node.vertices.push_back(walk);
        node.texCoords.push_back({0, unit(random), unit(random)});
    }
    for (int f = 0; f < kFacesPerNode; ++f) {
        const int first = f % (kVerticesPerNode - 2);
        const std::array<std::int16_t, 3> corners = {static_cast<std::int16_t>(first),
                                                     static_cast<std::int16_t>(first + 1),
                                                     static_cast<std::int16_t>(first + 2)};
        node.faces.push_back(modelFace(corners, corners, static_cast<std::uint16_t>(f / 500 % 2)));
    }
    if (index % 3 == 0) {
        node.keyFrames = {{0, {0, 0, 0, 1}}, {1000, {0, 0.7071068f, 0, 0.7071068f}}};
    }
    return node;
}

// Writes the model and its two textures below a fresh data root; gives the model's path.
std::string writeBenchmarkScene(const std::filesystem::path& root) {
    std::filesystem::remove_all(root);
    RgbaPicture picture{16, 16, std::vector<std::uint8_t>(16 * 16 * 4, 200)};
    writeFile((root / "data" / "texture" / "glow.tga").string(), tgaFile(picture));
    writeFile((root / "data" / "texture" / "wall.bmp").string(), bmpFile(bmpPictureOf(picture)));
    ModelFile model;
    model.textureNames = {"glow.tga", "wall.bmp"};
    std::mt19937 random(7);
    for (int i = 0; i < kNodes; ++i) {
        model.nodes.push_back(benchmarkNode(i, random));
    }
    const std::string path = (root / "benchmark.omd").string();
    writeModelFile(path, model);
    return path;
}

const std::filesystem::path kRoot = std::filesystem::temp_directory_path() / "orvalis_bench_model";

void BM_LoadModel(benchmark::State& state) {
    BenchmarkGlContext context;
    TextureCapabilities textures = TextureCapabilities::ofCurrentContext();
    const std::string path = writeBenchmarkScene(kRoot);
    const auto fileSize = static_cast<std::int64_t>(std::filesystem::file_size(path));
    for (auto _ : state) {
        Model model;
        SceneLoad load(textures);
        benchmark::DoNotOptimize(model.load(kRoot.c_str(), path.c_str(), load));
        state.PauseTiming();
        glDeleteTextures(static_cast<GLsizei>(model.textures.size()), model.textures.data());
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * fileSize);
}
BENCHMARK(BM_LoadModel)->Unit(benchmark::kMillisecond);

void BM_DrawModel(benchmark::State& state) {
    BenchmarkGlContext context;
    TextureCapabilities textures = TextureCapabilities::ofCurrentContext();
    SceneLoad load(textures);
    Model model;
    if (!model.load(kRoot.c_str(), writeBenchmarkScene(kRoot).c_str(), load) ||
        model.nodes.size() != std::size_t{kNodes}) {
        state.SkipWithError("the benchmark model did not load");
        return;
    }
    glMatrixMode(GL_PROJECTION);
    glOrtho(-4, 4, -4, 4, -4, 4);
    glMatrixMode(GL_MODELVIEW);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        model.draw(0, 0, 0, 0, 0, 0, 1, 1, 1);
        glFinish();
    }
    state.SetItemsProcessed(state.iterations() * kNodes * kFacesPerNode);
}
BENCHMARK(BM_DrawModel)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
