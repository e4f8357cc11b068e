#include "fuzz_targets.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/app_state.h"
#include "app/argument_file.h"
#include "app/scene.h"
#include "app/thumbnail_view.h"
#include "app/window.h"
#include "ground/ground.h"
#include "io/input_limits.h"
#include "model/model.h"
#include "model/model_file.h"
#include "platform/emulated_win32.h"
#include "platform/gl.h"
#include "platform/headless_host.h"
#include "texture/bmp_reader.h"
#include "texture/tga_reader.h"
#include "world/world_file.h"

namespace {

void require(bool promiseKept, const char* promise) {
    if (!promiseKept) {
        std::fprintf(stderr, "broken promise: %s\n", promise);
        std::abort();
    }
}

// Reads the byte so that a sanitizer sees whether it lies inside its block; the volatile read
// cannot be left out by the compiler.
void touch(const std::uint8_t& byte) {
    static_cast<void>(*static_cast<const volatile std::uint8_t*>(&byte));
}

void fuzzArgumentFile(FuzzBytes data) {
    const std::string_view text(reinterpret_cast<const char*>(data.data()), data.size());
    const auto parsed = parseArgumentFile(text);
    require(static_cast<bool>(parsed) == !text.empty(),
            "only an empty argument file is unreadable");
    if (!parsed) {
        return;
    }
    require(parsed->names.size() <= kMaxNames, "at most kMaxNames names are kept");
    const auto lineKept = [](const std::string& line) {
        return line.size() < 1024 && line.find('\n') == std::string::npos;
    };
    require(lineKept(parsed->dataRoot) &&
                std::all_of(parsed->names.begin(), parsed->names.end(), lineKept),
            "every line is shorter than 1024 characters and holds no line break");
}

// GL_MAX_TEXTURE_SIZE of a common driver.
constexpr std::int32_t kMaxTextureSide = 16384;

bool describableBy(FuzzBytes data, std::int64_t width, std::int64_t height) {
    return static_cast<std::uint64_t>(width * height) <= kMaxPixelsPerFileByte * data.size();
}

void fuzzBmp(FuzzBytes data) {
    const Result<RgbImage> decoded = decodeDib(data, kMaxTextureSide);
    if (!decoded) {
        require(decoded.kind() != Failure::none && !decoded.reason().empty(),
                "a refused BMP says why");
        return;
    }
    const RgbImage& image = *decoded;
    require(image.width > 0 && image.width <= kMaxTextureSide && image.height > 0 &&
                image.height <= kMaxTextureSide,
            "a decoded BMP has 1 to kMaxTextureSide rows and columns");
    require(describableBy(data, image.width, image.height),
            "a decoded BMP has no more pixels than its file can describe");
    require(image.pixels != nullptr, "a decoded BMP has pixels");
    // The colour key reads every pixel: the block must reach that far.
    const std::size_t last = static_cast<std::size_t>(image.width) * image.height * 3 - 1;
    touch(image.pixels[last]);
}

// GL reads one byte a pixel for the greyscale formats, three for GL_RGB and four for GL_RGBA.
int uploadedPixelBytes(GLenum format) {
    return format == GL_RGBA ? 4 : format == GL_RGB ? 3 : 1;
}

void fuzzTga(FuzzBytes data) {
    if (data.empty()) {
        return;
    }
    TgaImage image;
    const FuzzBytes file = data.subspan(1);
    if (const ReadResult decoded = decodeTga(file, image, tgaFlagsOf(data[0]), kMaxTextureSide);
        !decoded) {
        require(image.pixels == nullptr && !decoded.reason().empty(),
                "a refused TGA keeps no pixels and says why");
        return;
    }
    require(image.pixels != nullptr && image.imageSize > 0, "a decoded TGA has pixels");
    require(image.width <= kMaxTextureSide && image.height <= kMaxTextureSide &&
                describableBy(file, image.width, image.height),
            "a decoded TGA is no larger than the largest texture and its file can describe");
    require(static_cast<std::int64_t>(image.width) * image.height * image.bytesPerPixel ==
                image.imageSize,
            "the pixel block is width x height x bytesPerPixel");
    require(uploadedPixelBytes(image.glFormat) <= image.bytesPerPixel,
            "the upload reads no more than the block holds");
    touch(image.pixels[static_cast<std::size_t>(image.imageSize) - 1]);
}

// What the drawing of cells reads, as the ground's reader leaves it, without GL texture names.
Ground groundOf(GroundFile& file) {
    Ground ground;
    ground.width = file.width;
    ground.height = file.height;
    ground.textures.assign(file.textureNames.size(), 0);
    ground.cells = std::move(file.cells);
    ground.surfaces = std::move(file.surfaces);
    return ground;
}

void fuzzGround(FuzzBytes data) {
    auto file = parseGroundFile(data);
    require(static_cast<bool>(file) == (file.kind() == Failure::none && file.reason().empty()),
            "a refused ground file says why, and only then");
    if (!file) {
        return;
    }
    require(file->cells.size() == static_cast<std::size_t>(file->width) * file->height,
            "a parsed ground has width x height cells");
    const Ground ground = groundOf(*file);
    // Cell by cell: a grid of no columns may claim two billion rows.
    for (std::size_t cell = 0; cell < ground.cells.size(); ++cell) {
        const auto row = static_cast<int>(cell / static_cast<std::size_t>(ground.width));
        const auto column = static_cast<int>(cell % static_cast<std::size_t>(ground.width));
        GroundQuad quads[3];
        const int count = ground.cellQuads(row, column, quads);
        for (int q = 0; q < count; ++q) {
            require(quads[q].surface >= ground.surfaces.data() &&
                        quads[q].surface < ground.surfaces.data() + ground.surfaces.size(),
                    "a quad's surface is one of the ground's");
        }
    }
}

bool faceIndicesInside(const ModelNode& node) {
    return std::all_of(node.faces.begin(), node.faces.end(), [&](const ModelFace& face) {
        for (int corner = 0; corner < 3; ++corner) {
            if (face.vertexIndices[corner] < 0 ||
                static_cast<std::size_t>(face.vertexIndices[corner]) >= node.vertices.size() ||
                face.texCoordIndices[corner] < 0 ||
                static_cast<std::size_t>(face.texCoordIndices[corner]) >= node.texCoords.size()) {
                return false;
            }
        }
        return true;
    });
}

// A few draws' worth of animation: enough to pass key frames and wrap the clock round.
constexpr int kAnimationSteps = 4;

void fuzzModel(FuzzBytes data) {
    auto file = parseModelFile(data);
    require(static_cast<bool>(file) == (file.kind() == Failure::none && file.reason().empty()),
            "a refused model file says why, and only then");
    if (!file) {
        return;
    }
    Model model(std::move(file->records));
    const auto nodeCount = static_cast<std::int32_t>(model.nodes.size());
    require(nodeCount >= 1 && nodeCount <= MaxModelNodes,
            "a parsed model has 1 to MaxModelNodes nodes");
    require(model.parentIndex.size() == model.nodes.size() &&
                std::all_of(model.parentIndex.begin(), model.parentIndex.end(),
                            [&](std::int32_t p) { return p >= 0 && p < nodeCount; }),
            "every parent index names a node");
    // The texture tables as createTextures leaves them, without GL names.
    model.textures.assign(model.textureNames.size(), 0);
    model.fromTga.assign(model.textureNames.size(), 0);
    model.resolveNodeTextures();
    for (ModelNode& node : model.nodes) {
        require(faceIndicesInside(node), "every face kept indexes the node's arrays");
        for (int step = 0; !node.keyFrames.empty() && step < kAnimationSteps; ++step) {
            node.keyFrameStep();
        }
    }
}

void fuzzWorld(FuzzBytes data) {
    const auto world = parseWorldFile(data);
    require(static_cast<bool>(world) == (data.size() >= kWorldHeaderSize),
            "only a file shorter than the header gives no world");
    if (!world) {
        return;
    }
    // Models are numbered in order of first appearance: each placement names a model already
    // seen or the next one.
    std::int32_t seen = 0;
    for (const ModelInstance& instance : world->instances) {
        require(instance.modelIndex >= 0 && instance.modelIndex <= seen,
                "a placement names a model seen before or the next one");
        seen = std::max(seen, instance.modelIndex + 1);
    }
    require(static_cast<std::size_t>(seen) == world->modelNames.size(),
            "every model is named by a placement");
}

// The scratch folder of the thumbnail target, the data root of its scenes, with one headless
// window whose rendering context every input is loaded into: a context per input would take far
// longer than the input.
class ThumbnailBench {
  public:
    ThumbnailBench() : root_(scratchFolder()), services_(host_) {
        usePlatform(services_);
        AppState& app = appState();
        app.dataRoot = root_.string();
        app.names = {(root_ / "none.gnd").string()};
        app.modelLogPath.clear();
        opened_ = openWindow("ORVALIS", 64, 48, 16, false) == 1;
    }
    ~ThumbnailBench() {
        if (opened_) {
            closeWindow();
        }
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    ThumbnailBench(const ThumbnailBench&) = delete;
    ThumbnailBench& operator=(const ThumbnailBench&) = delete;

    bool ready() const { return opened_; }
    const std::filesystem::path& root() const { return root_; }

  private:
    static std::filesystem::path scratchFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "orvalis-fuzz-XXXXXX").string();
        require(mkdtemp(pattern.data()) != nullptr, "a scratch folder can be made");
        std::filesystem::create_directories(std::filesystem::path(pattern) / "data" / "model");
        return pattern;
    }

    std::filesystem::path root_;
    HeadlessHost host_;
    EmulatedWin32 services_;
    bool opened_ = false;
};

void writeScratchFile(const std::filesystem::path& path, FuzzBytes bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    require(file != nullptr, "the scratch folder takes a scene file");
    require(
        std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() && std::fclose(file) == 0,
        "the scratch folder takes a scene file");
}

// Writes the input's scene below the data root, in place of the scene files of the input before;
// gives the scene file's path. The first byte chooses a ground, a model, or a world with a model:
// four bytes (little-endian) give the world file's size, the world file follows, then the model
// file that it can place as "scene.omd".
std::filesystem::path writtenScene(const std::filesystem::path& root, FuzzBytes data) {
    const std::filesystem::path folder = root / "data";
    for (const char* name : {"scene.gnd", "scene.rsw", "model/scene.omd"}) {
        std::error_code ignored;
        std::filesystem::remove(folder / name, ignored);
    }
    const FuzzBytes file = data.subspan(1);
    switch (data[0] % 3) {
        case 0:
            writeScratchFile(folder / "scene.gnd", file);
            return folder / "scene.gnd";
        case 1:
            writeScratchFile(folder / "model" / "scene.omd", file);
            return folder / "model" / "scene.omd";
        default:
            break;
    }
    std::size_t worldSize = 0;
    for (std::size_t i = 0; i < 4 && i < file.size(); ++i) {
        worldSize |= std::size_t{file[i]} << (8 * i);
    }
    const FuzzBytes rest = file.subspan(std::min<std::size_t>(4, file.size()));
    worldSize = std::min(worldSize, rest.size());
    writeScratchFile(folder / "scene.rsw", rest.first(worldSize));
    writeScratchFile(folder / "model" / "scene.omd", rest.subspan(worldSize));
    return folder / "scene.rsw";
}

// The GL textures of the last scene, which its objects leave to their owner to delete: the
// context outlives many scenes.
void deleteSceneTextures(const AppState& app) {
    const auto deleteAll = [](const std::vector<GLuint>& names) {
        glDeleteTextures(static_cast<GLsizei>(names.size()), names.data());
    };
    deleteAll(app.ground.textures);
    deleteAll(app.world.ground.textures);
    for (const std::vector<Model>* models : {&app.world.models, &app.models}) {
        for (const Model& model : *models) {
            deleteAll(model.textures);
        }
    }
}

// The thumbnailer's path from the scene file to its view: the scene loaded into the context as the
// thumbnailer loads it, measured within the framing budget, and framed.
void fuzzThumbnail(FuzzBytes data) {
    static ThumbnailBench bench;
    require(bench.ready(), "the headless window opens");
    if (data.empty()) {
        return;
    }
    AppState& app = appState();
    deleteSceneTextures(app);
    app.ground = Ground{};
    app.world = World{};
    app.models.clear();
    app.groundMode = false;
    app.worldMode = false;
    app.names = {writtenScene(bench.root(), data).string()};
    setupScene();
    static_cast<void>(sceneTriangles(app));
    const ThumbnailView view = frameBox(sceneBox(app, kFramingTriangleBudget), 4.0 / 3.0);
    require(std::isfinite(view.nearPlane) && std::isfinite(view.farPlane) && view.nearPlane > 0 &&
                view.farPlane > view.nearPlane,
            "a thumbnail's view has near and far planes GL can use");
}

constexpr std::array<FuzzTarget, 7> kTargets{{
    {"argument_file", fuzzArgumentFile},
    {"bmp", fuzzBmp},
    {"tga", fuzzTga},
    {"ground", fuzzGround},
    {"model", fuzzModel},
    {"world", fuzzWorld},
    {"thumbnail", fuzzThumbnail},
}};

}  // namespace

const FuzzTarget* findFuzzTarget(std::string_view name) {
    const auto found = std::find_if(kTargets.begin(), kTargets.end(),
                                    [&](const FuzzTarget& target) { return target.name == name; });
    return found == kTargets.end() ? nullptr : &*found;
}
