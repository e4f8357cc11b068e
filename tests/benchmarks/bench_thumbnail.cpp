// The thumbnailer's framing: worlds that place one model of 500 triangles 1,000 to 40,000 times
// (the largest a 10 MB file), and grounds whose triangles reach the framing's budget of GL feedback
// and pass it. Reports the time of a framing and the process's peak resident memory after it.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <string>

#include "app/app_state.h"
#include "app/thumbnail_view.h"
#include "formats/ground_writer.h"
#include "formats/model_writer.h"
#include "formats/world_writer.h"
#include "gl_bench.h"
#include "scratch_folder.h"

namespace {

constexpr int kModelTriangles = 500;

BenchmarkGlContext& context() {
    static BenchmarkGlContext gl;
    return gl;
}

const ScratchFolder& folder() {
    static const ScratchFolder scratch;
    return scratch;
}

ModelFile stripModel() {
    ModelFileNode node;
    node.name = "strip";
    node.texCoords = {{0, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    for (int i = 0; i < kModelTriangles + 2; ++i) {
        node.vertices.push_back({static_cast<float>(i % 20), static_cast<float>(i % 2) * 20,
                                 static_cast<float>(i / 20)});
    }
    for (int i = 0; i < kModelTriangles; ++i) {
        const auto first = static_cast<std::int16_t>(i);
        node.faces.push_back(modelFace(
            {first, static_cast<std::int16_t>(first + 1), static_cast<std::int16_t>(first + 2)},
            {0, 1, 2}));
    }
    ModelFile model;
    model.nodes = {node};
    return model;
}

// A 64 x 64 ground with `placements` placements of the strip on a grid 30 units apart.
std::string crowdedWorld(int placements) {
    const std::filesystem::path data = folder().path() / "data";
    writeGroundFile((data / "field.gnd").string(), flatGround(64, 64, "none.bmp"));
    writeModelFile((data / "model" / "strip.omd").string(), stripModel());
    WorldFileDescription world{"field.gnd", "", {}};
    for (int i = 0; i < placements; ++i) {
        world.placements.push_back(
            {"strip.omd", {static_cast<float>(i % 200 * 30), 0, static_cast<float>(i / 200 * 30)}});
    }
    const std::string path =
        (folder().path() / ("crowd" + std::to_string(placements) + ".rsw")).string();
    writeWorldFile(path, world);
    return path;
}

double peakResidentMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024;
}

// Loads the scene into the benchmark's context as the thumbnailer does.
void loadScene(AppState& app, const std::string& path, bool world) {
    TextureCapabilities capabilities = TextureCapabilities::ofCurrentContext();
    SceneLoad textures(capabilities);
    app = AppState{};
    app.groundMode = !world;
    app.worldMode = world;
    if (world) {
        app.world.readWorld(folder().string().c_str(), path.c_str(), textures, {}, "");
    } else {
        app.ground.readGround(folder().string().c_str(), path.c_str(), textures);
    }
}

void frameScene(benchmark::State& state, const std::string& path, bool world) {
    context();
    AppState& app = appState();
    loadScene(app, path, world);
    for (auto _ : state) {
        benchmark::DoNotOptimize(sceneBox(app, kFramingTriangleBudget));
    }
    state.counters["triangles"] = static_cast<double>(sceneTriangles(app));
    state.counters["peak MB"] = peakResidentMegabytes();
}

void BM_FrameCrowdedWorld(benchmark::State& state) {
    frameScene(state, crowdedWorld(static_cast<int>(state.range(0))), true);
}
BENCHMARK(BM_FrameCrowdedWorld)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(40000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// A terraced ground, with its walls: within the budget, and past it.
void BM_FrameGround(benchmark::State& state) {
    const auto side = static_cast<std::int32_t>(state.range(0));
    const std::string path = (folder().path() / "data" / "plain.gnd").string();
    writeGroundFile(path, terracedGround(side, side, {"rock.bmp", "moss.bmp"}));
    frameScene(state, path, false);
}
BENCHMARK(BM_FrameGround)->Arg(150)->Arg(200)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
