// bench_hostile [--only CASE] [--timeout SECONDS]: the peak memory and wall time of
// orvalis-thumbnailer, and of the viewer's scene loader alone, on hostile downloads. For each case
// it writes the scene into a scratch folder, then runs each program on it as a child process of
// its own with a time-out and an address-space limit, and reads the child's peak resident set from
// wait4 and its wall time from the monotonic clock. It prints one table and asserts nothing.
// --only runs the cases whose name starts with CASE ("1", "2b", ...); --timeout (60 s unless told)
// is how long a child may run before it is killed.
//
// The loader is this program itself, started again as `bench_hostile --load SCENE LOG`: it opens
// the window on the headless host as the viewer does for a scene on its command line, which loads
// the scene (the model log included), and closes it again, without drawing a frame.

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "app/app_state.h"
#include "app/command_line.h"
#include "app/window.h"
#include "formats/byte_writer.h"
#include "formats/ground_writer.h"
#include "formats/image_writer.h"
#include "formats/model_writer.h"
#include "formats/world_writer.h"
#include "platform/emulated_win32.h"
#include "platform/headless_host.h"

namespace fs = std::filesystem;

namespace {

constexpr std::uint64_t kAddressSpaceLimit = std::uint64_t{8} << 30;
constexpr int kDefaultTimeoutSeconds = 60;

// ---- The loader child ----------------------------------------------------------------------

// As the viewer shows a scene named on its command line, in a window of its size.
int loadSceneOnly(const std::string& scene, const std::string& logPath) {
    HeadlessHost host;
    EmulatedWin32 headless(host);
    usePlatform(headless);
    AppState& app = appState();
    app.dataRoot = findDataRoot(scene);
    app.names = {scene};
    app.modelLogPath = logPath;
    if (!openWindow("ORVALIS", 640, 480, 16, false)) {
        return 1;
    }
    const bool read = static_cast<bool>(app.sceneRead);
    closeWindow();
    return read ? 0 : 1;
}

// ---- Scenes --------------------------------------------------------------------------------

// Every scene lives below a data root: textures in data/texture, models in data/model, the ground
// in data.
struct DataRoot {
    fs::path root;

    fs::path texture(const std::string& name) const { return root / "data" / "texture" / name; }
    fs::path model(const std::string& name) const { return root / "data" / "model" / name; }
    fs::path ground(const std::string& name) const { return root / "data" / name; }
};

constexpr char kSmallTexture[] = "small.tga";
constexpr int kSmallTextureSide = 256;
constexpr char kGroundName[] = "ground.gnd";
constexpr int kGroundCells = 32;
constexpr float kCellSize = 10;  // units a ground cell spans

RgbaPicture checkerPicture(int side) {
    RgbaPicture picture{side, side, {}};
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const std::uint8_t shade = (x / 8 + y / 8) % 2 == 0 ? 220 : 40;
            picture.rgba.insert(picture.rgba.end(), {shade, 120, shade, 255});
        }
    }
    return picture;
}

// A type-10 TGA of side x side pixels in run packets of 128 pixels, two colours taking turns: a
// few bytes of file for a huge picture, within the pixels-per-byte limit of the readers.
std::vector<std::uint8_t> runLengthTga(int side) {
    constexpr std::uint8_t kRunOf128 = 0x80 | 127;
    const std::uint64_t packets = std::uint64_t(side) * std::uint64_t(side) / 128;
    std::vector<std::uint8_t> packed;
    packed.reserve(packets * 5);
    for (std::uint64_t p = 0; p < packets; ++p) {
        const std::uint8_t shade = p % 2 == 0 ? 200 : 60;
        packed.insert(packed.end(), {kRunOf128, shade, 90, shade, 255});
    }
    TgaLayout layout;
    layout.imageType = 10;
    layout.pixelData = std::move(packed);
    return tgaFile({side, side, {}}, layout);
}

void writeSmallTexture(const DataRoot& data) {
    writeFile(data.texture(kSmallTexture).string(), tgaFile(checkerPicture(kSmallTextureSide)));
}

// One node of `faces` triangles strung along a helix of `vertices` points, every face showing
// model texture 0, under the given texture list.
ModelFile helixModel(int faces, int vertices, std::vector<std::string> textureNames) {
    ModelFileNode node;
    node.name = "helix";
    node.textureIndices = {0};
    for (int v = 0; v < vertices; ++v) {
        const float turn = 0.3f * static_cast<float>(v);
        node.vertices.push_back(
            {20 * std::cos(turn), -0.002f * static_cast<float>(v) - 5, 20 * std::sin(turn)});
        node.texCoords.push_back({0, static_cast<float>(v % 2), static_cast<float>(v % 3) / 2});
    }
    for (int f = 0; f < faces; ++f) {
        const auto first = static_cast<std::int16_t>(f % (vertices - 2));
        const std::array<std::int16_t, 3> corners = {first, static_cast<std::int16_t>(first + 1),
                                                     static_cast<std::int16_t>(first + 2)};
        node.faces.push_back(modelFace(corners, corners));
    }
    ModelFile model;
    model.textureNames = std::move(textureNames);
    model.nodes = {node};
    return model;
}

ModelFile smallModel(std::vector<std::string> textureNames) {
    return helixModel(1, 3, std::move(textureNames));
}

// A flat ground of kGroundCells squared cells showing the small texture.
void writeGround(const DataRoot& data) {
    writeSmallTexture(data);
    writeGroundFile(data.ground(kGroundName).string(),
                    flatGround(kGroundCells, kGroundCells, kSmallTexture));
}

// The model names spread over the ground row by row, a few units apart.
WorldFileDescription worldPlacing(const std::vector<std::string>& modelNames) {
    WorldFileDescription world;
    world.groundName = kGroundName;
    const auto perRow = static_cast<std::size_t>(std::ceil(std::sqrt(modelNames.size())));
    const float half = kGroundCells * kCellSize / 2;
    const float step = 2 * half / static_cast<float>(perRow);
    for (std::size_t i = 0; i < modelNames.size(); ++i) {
        world.placements.push_back({modelNames[i],
                                    {-half + step * static_cast<float>(i % perRow), 0,
                                     -half + step * static_cast<float>(i / perRow)}});
    }
    return world;
}

std::string writeWorld(const DataRoot& data, const std::vector<std::string>& modelNames) {
    writeGround(data);
    const fs::path path = data.root / "hostile.rsw";
    writeWorldFile(path.string(), worldPlacing(modelNames));
    return path.string();
}

std::string writeModelScene(const DataRoot& data, const ModelFile& model) {
    const fs::path path = data.model("hostile.omd");
    writeModelFile(path.string(), model);
    return path.string();
}

// ---- The cases -----------------------------------------------------------------------------

// Writes the scene of a case of size n below the data root; gives the scene file's path.
using SceneWriter = std::function<std::string(const DataRoot&, std::int64_t n)>;

struct Case {
    std::string name;  // what N counts, in the table's words
    std::vector<std::int64_t> sizes;
    SceneWriter write;
};

std::string missingTextureNamedNTimes(const DataRoot& data, std::int64_t n) {
    return writeModelScene(data, smallModel(std::vector<std::string>(n, "missing.tga")));
}

std::string smallTextureNamedNTimes(const DataRoot& data, std::int64_t n) {
    writeSmallTexture(data);
    return writeModelScene(data, smallModel(std::vector<std::string>(n, kSmallTexture)));
}

std::string groundNamingSmallTextureNTimes(const DataRoot& data, std::int64_t n) {
    writeSmallTexture(data);
    GroundFile ground = flatGround(kGroundCells, kGroundCells, kSmallTexture);
    ground.textureNames.assign(n, kSmallTexture);
    const fs::path path = data.ground(kGroundName);
    writeGroundFile(path.string(), ground);
    return path.string();
}

constexpr int kNamedBigTextureSide = 4096;

std::string bigTextureScene(const DataRoot& data, int side, std::int64_t n) {
    const std::string name = "big" + std::to_string(side) + ".tga";
    writeFile(data.texture(name).string(), runLengthTga(side));
    return writeModelScene(data, smallModel(std::vector<std::string>(n, name)));
}

std::string textureOfSideN(const DataRoot& data, std::int64_t n) {
    return bigTextureScene(data, static_cast<int>(n), 1);
}

std::string bigTextureNamedNTimes(const DataRoot& data, std::int64_t n) {
    return bigTextureScene(data, kNamedBigTextureSide, n);
}

// The k-th spelling of the same file's name: its letters in the case pattern of k / 3's bits, after
// no prefix, "./" or ".\" by k % 3.
std::string spelling(const std::string& name, std::int64_t k) {
    static const char* const prefixes[] = {"", "./", ".\\"};
    std::string spelt = prefixes[k % 3];
    std::int64_t pattern = k / 3;
    for (const char c : name) {
        const bool letter = c >= 'a' && c <= 'z';
        spelt += letter && pattern % 2 == 1 ? static_cast<char>(c - 'a' + 'A') : c;
        pattern = letter ? pattern / 2 : pattern;
    }
    return spelt;
}

// A model file of 8 MiB, nearly all of it vertices and texture coordinates: few faces, so that
// drawing it costs little beside loading it.
constexpr int kLargeModelVertices = 349000;
constexpr int kLargeModelFaces = 500;

std::string largeModelUnderNSpellings(const DataRoot& data, std::int64_t n) {
    const std::string name = "largemodel.omd";
    writeModelFile(data.model(name).string(),
                   helixModel(kLargeModelFaces, kLargeModelVertices, {kSmallTexture}));
    std::vector<std::string> names;
    for (std::int64_t k = 0; k < n; ++k) {
        names.push_back(spelling(name, k));
    }
    return writeWorld(data, names);
}

constexpr int kModelFolderEntries = 1000;

std::string nMissingModels(const DataRoot& data, std::int64_t n) {
    for (int i = 0; i < kModelFolderEntries; ++i) {
        writeFile(data.model("present" + std::to_string(i) + ".omd").string(), {});
    }
    std::vector<std::string> names;
    for (std::int64_t i = 0; i < n; ++i) {
        names.push_back("missing" + std::to_string(i) + ".omd");
    }
    return writeWorld(data, names);
}

constexpr int kPlacedModelFaces = 500;

std::string modelPlacedNTimes(const DataRoot& data, std::int64_t n) {
    const std::string name = "placed.omd";
    writeModelFile(data.model(name).string(),
                   helixModel(kPlacedModelFaces, kPlacedModelFaces + 2, {kSmallTexture}));
    return writeWorld(data, std::vector<std::string>(n, name));
}

std::vector<Case> hostileCases() {
    return {
        {"1a model naming a missing TGA N times", {25000, 100000}, missingTextureNamedNTimes},
        {"1b model naming a 256x256 TGA N times", {1000, 4000}, smallTextureNamedNTimes},
        {"1c ground naming a 256x256 TGA N times", {1000, 4000}, groundNamingSmallTextureNTimes},
        {"2a model naming one TGA of N x N", {4096, 8192}, textureOfSideN},
        {"2b model naming a 4096x4096 TGA N times", {2, 8}, bigTextureNamedNTimes},
        {"3 world naming an 8 MiB model N ways", {25, 100}, largeModelUnderNSpellings},
        {"4 world naming N missing models", {10000, 40000}, nMissingModels},
        {"5 world placing a 500-face model N times", {2000, 8000}, modelPlacedNTimes},
    };
}

// ---- Running a child -----------------------------------------------------------------------

struct Measure {
    double peakMiB = 0;
    double seconds = 0;
    bool timedOut = false;
    int status = 0;  // as wait4 gives it
    std::uintmax_t errorBytes = 0;
};

// Standard output goes nowhere, standard error into `errorFile`; no core files.
[[noreturn]] void execLimited(const std::vector<std::string>& command, const fs::path& errorFile) {
    const rlimit addressSpace{kAddressSpaceLimit, kAddressSpaceLimit};
    const rlimit noCore{0, 0};
    setrlimit(RLIMIT_AS, &addressSpace);
    setrlimit(RLIMIT_CORE, &noCore);
    const int nowhere = open("/dev/null", O_WRONLY);
    const int errors = open(errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(nowhere, STDOUT_FILENO);
    dup2(errors, STDERR_FILENO);
    std::vector<char*> arguments;
    for (const std::string& argument : command) {
        arguments.push_back(const_cast<char*>(argument.c_str()));
    }
    arguments.push_back(nullptr);
    execv(arguments[0], arguments.data());
    _exit(127);
}

// Runs the command to its end, or kills it when the time-out passes.
Measure measure(const std::vector<std::string>& command, const fs::path& errorFile,
                int timeoutSeconds) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execLimited(command, errorFile);
    }
    Measure result;
    rusage usage{};
    while (wait4(child, &result.status, WNOHANG, &usage) == 0) {
        if (Clock::now() - start > std::chrono::seconds(timeoutSeconds)) {
            kill(child, SIGKILL);
            wait4(child, &result.status, 0, &usage);
            result.timedOut = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    result.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    result.peakMiB = static_cast<double>(usage.ru_maxrss) / 1024;
    std::error_code ignored;
    result.errorBytes = fs::file_size(errorFile, ignored);
    return result;
}

// Writes the scene in a child process, so that the writers' buffers never swell this process,
// whose resident pages every child starts with. Nothing when the writing failed.
std::optional<std::string> writeScene(const Case& hostile, std::int64_t n, const DataRoot& data) {
    const fs::path named = data.root / "scene-path";
    const pid_t child = fork();
    if (child == 0) {
        const std::string scene = hostile.write(data, n);
        _exit(writeFile(named.string(), {scene.begin(), scene.end()}) ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    std::string scene;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 ||
        !std::getline(std::ifstream(named), scene)) {
        return std::nullopt;
    }
    return scene;
}

// ---- The table -----------------------------------------------------------------------------

std::string exitText(const Measure& run) {
    if (run.timedOut) {
        return "killed at time-out";
    }
    if (WIFSIGNALED(run.status)) {
        return "signal " + std::to_string(WTERMSIG(run.status));
    }
    return std::to_string(WEXITSTATUS(run.status));
}

std::string secondsText(const Measure& run, int timeoutSeconds) {
    char text[32];
    if (run.timedOut) {
        std::snprintf(text, sizeof text, "> %d", timeoutSeconds);
    } else {
        std::snprintf(text, sizeof text, "%.2f", run.seconds);
    }
    return text;
}

void printHeader() {
    std::printf("%-42s %7s  %-11s %10s %9s %11s  %s\n", "class", "N", "program", "peak MiB",
                "wall s", "stderr KiB", "exit");
}

void printRow(const std::string& name, std::int64_t n, const char* program, const Measure& run,
              int timeoutSeconds) {
    std::printf("%-42s %7lld  %-11s %10.1f %9s %11.1f  %s\n", name.c_str(),
                static_cast<long long>(n), program, run.peakMiB,
                secondsText(run, timeoutSeconds).c_str(),
                static_cast<double>(run.errorBytes) / 1024, exitText(run).c_str());
    std::fflush(stdout);
}

struct Options {
    std::string only;  // the prefix of the cases to run; empty: all
    int timeoutSeconds = kDefaultTimeoutSeconds;
};

std::optional<Options> readOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string_view option = argv[i];
        if (option == "--only") {
            options.only = argv[i + 1];
        } else if (option == "--timeout") {
            options.timeoutSeconds = std::atoi(argv[i + 1]);
        } else {
            return std::nullopt;
        }
    }
    if (argc % 2 == 0 || options.timeoutSeconds <= 0) {
        return std::nullopt;
    }
    return options;
}

void runCase(const Case& hostile, std::int64_t n, const Options& options) {
    const DataRoot data{fs::temp_directory_path() / "orvalis-bench-hostile"};
    fs::remove_all(data.root);
    fs::create_directories(data.root);
    const std::optional<std::string> scene = writeScene(hostile, n, data);
    if (!scene) {
        std::printf("%-42s %7lld  the scene could not be written\n", hostile.name.c_str(),
                    static_cast<long long>(n));
        return;
    }
    const fs::path errors = data.root / "stderr.txt";
    const std::string picture = (data.root / "picture.png").string();
    printRow(hostile.name, n, "thumbnailer",
             measure({ORVALIS_THUMBNAILER, *scene, picture}, errors, options.timeoutSeconds),
             options.timeoutSeconds);
    const std::string self = fs::read_symlink("/proc/self/exe").string();
    const std::string log = (data.root / "models.log").string();
    printRow(hostile.name, n, "loader",
             measure({self, "--load", *scene, log}, errors, options.timeoutSeconds),
             options.timeoutSeconds);
    fs::remove_all(data.root);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string_view(argv[1]) == "--load") {
        return loadSceneOnly(argv[2], argv[3]);
    }
    const std::optional<Options> options = readOptions(argc, argv);
    if (!options) {
        std::fputs("usage: bench_hostile [--only CASE] [--timeout SECONDS]\n", stderr);
        return 2;
    }
    std::printf("thumbnailer: %s\nlimits per child: %d s, %llu GiB of address space\n\n",
                ORVALIS_THUMBNAILER, options->timeoutSeconds,
                static_cast<unsigned long long>(kAddressSpaceLimit >> 30));
    printHeader();
    for (const Case& hostile : hostileCases()) {
        if (!hostile.name.starts_with(options->only)) {
            continue;
        }
        for (const std::int64_t n : hostile.sizes) {
            runCase(hostile, n, *options);
        }
    }
    rusage own{};
    getrusage(RUSAGE_SELF, &own);
    std::printf("\nthe benchmark's own peak: %.1f MiB\n",
                static_cast<double>(own.ru_maxrss) / 1024);
    return 0;
}
