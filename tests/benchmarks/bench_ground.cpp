// A 512 x 512 terraced ground: reading it, the frustum pass over its cells, and whole frames of it
// on the headless backend at 640 x 480, from a few camera poses.

#include <benchmark/benchmark.h>

#include <filesystem>

#include "formats/byte_writer.h"
#include "formats/ground_writer.h"
#include "formats/image_writer.h"
#include "gl_bench.h"
#include "ground/ground.h"
#include "io/host_files.h"
#include "viewer_pose.h"

namespace {

constexpr int kGroundSize = 512;

// 64 x 64 textures in four colours with a lighter cross, so texturing does real work.
RgbaPicture texturePicture(int shade) {
    RgbaPicture picture{64, 64, {}};
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            const bool cross = x == 32 || y == 32;
            const auto level = static_cast<std::uint8_t>(cross ? 255 : 60 * shade);
            picture.rgba.insert(picture.rgba.end(),
                                {level, 128, static_cast<std::uint8_t>(255 - level), 255});
        }
    }
    return picture;
}

struct Scene {
    std::filesystem::path root;
    std::string groundPath;
    std::vector<std::uint8_t> bytes;
};

const Scene& scene() {
    static const Scene written = [] {
        Scene s;
        s.root = std::filesystem::temp_directory_path() / "orvalis_bench_ground";
        std::vector<std::string> names;
        for (int i = 0; i < 4; ++i) {
            names.push_back("terrace" + std::to_string(i) + ".tga");
            writeFile((s.root / "data" / "texture" / names.back()).string(),
                      tgaFile(texturePicture(i)));
        }
        s.bytes = groundFileBytes(terracedGround(kGroundSize, kGroundSize, names));
        s.groundPath = (s.root / "terraces.gnd").string();
        writeFile(s.groundPath, s.bytes);
        return s;
    }();
    return written;
}

BenchmarkGlContext& context() {
    static BenchmarkGlContext gl;
    return gl;
}

const Ground& ground() {
    static const Ground read = [] {
        context();
        Ground g;
        TextureCapabilities textures = TextureCapabilities::ofCurrentContext();
        SceneLoad load(textures);
        g.readGround(scene().root.c_str(), scene().groundPath.c_str(), load);
        return g;
    }();
    return read;
}

const NamedPose kPoses[] = {
    {"start: centre, level", {{0, 0, 1}, {0, 0, 0}}},
    {"edge, across the ground", {{0, 0, 2600}, {0, 0, 0}}},
    {"high, looking down ahead", {{0, 600, 0}, {0, 0, -800}}},
    {"straight down from 1500", {{0, 1500, 0}, {0, 0, 0}, {0, 0, -1}}},
};

int visibleCells(const Ground& g, const Frustum& frustum) {
    int visible = 0;
    for (int row = 0; row < g.height; ++row) {
        for (int column = 0; column < g.width; ++column) {
            visible += g.cellInFrustum(frustum, row, column) ? 1 : 0;
        }
    }
    return visible;
}

void BM_ParseGroundFile(benchmark::State& state) {
    const auto& bytes = scene().bytes;
    for (auto _ : state) {
        benchmark::DoNotOptimize(parseGroundFile(bytes));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_ParseGroundFile)->Unit(benchmark::kMillisecond);

// From the file on disk, with its four textures loaded into GL.
void BM_ReadGround(benchmark::State& state) {
    context();
    Ground g;
    TextureCapabilities textures = TextureCapabilities::ofCurrentContext();
    for (auto _ : state) {
        SceneLoad load(textures);
        g.readGround(scene().root.c_str(), scene().groundPath.c_str(), load);
        glDeleteTextures(static_cast<GLsizei>(g.textures.size()), g.textures.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * scene().bytes.size()));
}
BENCHMARK(BM_ReadGround)->Unit(benchmark::kMillisecond);

void BM_FrustumPass(benchmark::State& state) {
    const Ground& g = ground();
    const NamedPose& pose = kPoses[state.range(0)];
    applyViewerPose(pose.pose);
    g.placeGrid();
    Frustum frustum;
    int visible = 0;
    for (auto _ : state) {
        frustum.extractFrustum();
        visible = visibleCells(g, frustum);
        benchmark::DoNotOptimize(visible);
    }
    state.SetLabel(pose.name);
    state.counters["visible cells"] = visible;
}
BENCHMARK(BM_FrustumPass)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

void BM_DrawGround(benchmark::State& state) {
    const Ground& g = ground();
    const NamedPose& pose = kPoses[state.range(0)];
    useSceneState();
    applyViewerPose(pose.pose);
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        g.drawGround();
        glFinish();
    }
    state.SetLabel(pose.name);
}
BENCHMARK(BM_DrawGround)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
