// A world the size of a game map (tests/support/benchmark_world.h), written once into a temporary
// folder. Loading is measured whole and in its parts: reading and parsing the files, decoding the
// textures, uploading them with their mipmaps, and building the batched renderer's arrays. Then
// whole frames on the headless backend from a few poses, with both renderers, of this world and of
// the demo world; the end of the run sets the two renderers' frames side by side.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>

#include "benchmark_world.h"
#include "demo/demo_scene.h"
#include "gl_bench.h"
#include "ground/ground_file.h"
#include "io/host_files.h"
#include "model/model_file.h"
#include "platform/frame_memory.h"
#include "texture/bmp_reader.h"
#include "texture/texture_loader.h"
#include "texture/tga_reader.h"
#include "viewer_pose.h"
#include "world/world.h"
#include "world/world_batches.h"
#include "world/world_file.h"

namespace {

using namespace benchmark_world;

constexpr std::int32_t kMaxTextureSide = 16384;  // GL_MAX_TEXTURE_SIZE of a common driver

using Scene = Files;

// The path as the viewer composes it.
std::string texturePath(const std::string& root, const std::string& name) {
    return *composeDataPath("%s\\data\\texture\\%s", root, name);
}

// Written on first use.
const Scene& scene() {
    static const Scene written =
        writeWorld(std::filesystem::temp_directory_path() / "orvalis_bench_world");
    return written;
}

// The model log goes into the world's folder.
std::string modelLogPath() {
    return (std::filesystem::path(scene().root) / kModelLogName).string();
}

// The context, in a process that keeps freed memory between frames as the viewer does.
BenchmarkGlContext& context() {
    static BenchmarkGlContext gl = [] {
        keepFreedMemoryBetweenFrames();
        return BenchmarkGlContext();
    }();
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
        world.readWorld(s.root.c_str(), s.worldPath.c_str(), load, {}, modelLogPath());
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
        w.readWorld(scene().root.c_str(), scene().worldPath.c_str(), load, {}, modelLogPath());
        return w;
    }();
    return world;
}

// The batched renderer's arrays of the loaded world, and what they hold.
void BM_BuildBatches(benchmark::State& state) {
    World& world = loadedWorld();
    for (auto _ : state) {
        WorldBatches batches;
        batches.build(world);
        benchmark::DoNotOptimize(batches);
    }
    WorldBatches batches;
    batches.build(world);
    state.counters["ground quads"] = static_cast<double>(batches.ground().quadCount());
}
BENCHMARK(BM_BuildBatches)->Unit(benchmark::kMillisecond)->Iterations(5);

// The demo world, written once into a temporary folder and loaded.
World& demoWorld() {
    static World world = [] {
        context();
        const auto folder = std::filesystem::temp_directory_path() / "orvalis_bench_demo";
        writeDemoScene(folder.string());
        const std::string root = (folder / "GameData").string();
        World w;
        TextureCapabilities textures = TextureCapabilities::ofCurrentContext();
        SceneLoad load(textures);
        w.readWorld(root.c_str(), (folder / "GameData/data/maps/valley.rsw").string().c_str(), load,
                    {}, "");
        return w;
    }();
    return world;
}

struct Poses {
    const char* world;
    World& (*load)();
    NamedPose poses[3];
};
const Poses kWorlds[] = {
    {"benchmark",
     loadedWorld,
     {{"start: centre, level", {{0, 0, 1}, {0, 0, 0}}},
      {"high, looking down ahead", {{0, 600, 0}, {0, 0, -800}}},
      {"edge, across the world", {{0, 0, 2600}, {0, 0, 0}}}}},
    {"demo",
     demoWorld,
     {{"start", {{0, 0, 1}, {0, 0, 0}}},
      {"over the valley", {{0, 250, 600}, {0, 0, 0}}},
      {"along the ground", {{-500, 30, -300}, {200, 0, 100}}}}},
};

const char* const kRendererNames[] = {"immediate", "batched"};

// Milliseconds per frame, by world, pose and renderer, for the table at the end.
std::map<std::tuple<int, int, int>, double> frameMilliseconds;

// Frames of a world as the viewer draws them: range 0 the world, 1 the pose, 2 the renderer.
void BM_DrawWorld(benchmark::State& state) {
    const auto w = static_cast<int>(state.range(0));
    const auto p = static_cast<int>(state.range(1));
    const auto r = static_cast<int>(state.range(2));
    World& world = kWorlds[w].load();
    static std::map<const World*, WorldBatches> batches;
    if (r == 1 && !batches.contains(&world)) {
        batches[&world].build(world);
    }
    const NamedPose& pose = kWorlds[w].poses[p];
    useSceneState();
    applyViewerPose(pose.pose);
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        if (r == 1) {
            batches[&world].draw(world);
        } else {
            world.drawWorld();
        }
        glFinish();
    }
    const std::chrono::duration<double, std::milli> spent =
        std::chrono::steady_clock::now() - start;
    frameMilliseconds[{w, p, r}] = spent.count() / static_cast<double>(state.iterations());
    state.SetLabel(std::string(kWorlds[w].world) + ", " + pose.name + ", " + kRendererNames[r]);
}
BENCHMARK(BM_DrawWorld)
    ->ArgsProduct({{0, 1}, {0, 1, 2}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1);

// Both renderers' frames of each world and pose, side by side.
void printSideBySide() {
    std::printf("\n%-10s %-26s %14s %14s %8s\n", "world", "pose", "immediate ms", "batched ms",
                "faster");
    for (const auto& [key, immediate] : frameMilliseconds) {
        const auto [w, p, r] = key;
        const auto batched = frameMilliseconds.find({w, p, 1});
        if (r != 0 || batched == frameMilliseconds.end()) {
            continue;
        }
        std::printf("%-10s %-26s %14.1f %14.1f %7.1fx\n", kWorlds[w].world,
                    kWorlds[w].poses[p].name, immediate, batched->second,
                    immediate / batched->second);
    }
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    printSideBySide();
    return 0;
}
