#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "platform/host_files.h"
#include "platform/platform.h"
#include "world/world_file.h"

namespace {

constexpr char kModelLogName[] = "sortie.txt";

using LogFile = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

// The path of a file that the world names below the data root, or nothing, reported against the
// world file, when it would be longer than kMaxPathLength.
std::optional<std::string> namedFilePath(const char* format, const char* dataRoot,
                                         const std::string& name, const char* worldPath) {
    auto path = composeDataPath(format, dataRoot, name);
    if (!path) {
        reportFileError("The path of " + name + " is longer than " +
                            std::to_string(kMaxPathLength) + " characters",
                        worldPath);
    }
    return path;
}

// The log is created afresh by every read; without it the world loads all the same.
LogFile createModelLog() {
    LogFile log(openHostFile(kModelLogName, "w"), std::fclose);
    if (!log) {
        reportFileError("Cannot create the model log", kModelLogName);
    }
    return log;
}

// Each line goes out at once, so the log shows how far a load got.
void logModel(std::FILE* log, std::uint8_t loaded, int number, const std::string& name) {
    if (log != nullptr) {
        std::fprintf(log, "%d %d %s\n", loaded, number, name.c_str());
        std::fflush(log);
    }
}

// Its arrays are replaced by empty ones, which frees them. Their GL texture names are not
// deleted: after a window re-creation they belong to a context that is gone.
void release(World& world) {
    world.instanceCount = 0;
    world.instances = std::vector<ModelInstance>();
    world.modelCount = 0;
    world.models = std::vector<Model>();
    world.loaded = std::vector<std::uint8_t>();
    world.ground = Ground();
}

void readNamedGround(Ground& ground, const char* dataRoot, const std::string& name,
                     const char* worldPath) {
    if (const auto path = namedFilePath("%s\\data\\%s", dataRoot, name, worldPath)) {
        ground.readGround(dataRoot, path->c_str());
    }
}

bool loadNamedModel(Model& model, const char* dataRoot, const std::string& name,
                    const char* worldPath) {
    const auto path = namedFilePath("%s\\data\\model\\%s", dataRoot, name, worldPath);
    return path && model.load(dataRoot, path->c_str());
}

// Each distinct model once, in order of first appearance: its title before the load, its log
// line after it.
void loadModels(World& world, const char* dataRoot, const std::vector<std::string>& names,
                const char* worldPath, WindowHandle window, std::FILE* log) {
    world.modelCount = static_cast<std::int32_t>(names.size());
    world.models = std::vector<Model>(names.size());
    world.loaded = std::vector<std::uint8_t>(names.size());
    for (std::int32_t k = 0; k < world.modelCount; ++k) {
        const std::string& name = names[k];
        setWindowTitle(window, "Orvalis : Loading Models (%d\\%d) : %s", k + 1, world.modelCount,
                       name.c_str());
        world.loaded[k] = loadNamedModel(world.models[k], dataRoot, name, worldPath) ? 1 : 0;
        logModel(log, world.loaded[k], k + 1, name);
    }
}

bool readWorldFile(World& world, const char* dataRoot, const char* path, WindowHandle window,
                   std::FILE* log) {
    const HostFile bytes = readHostFile(path);
    if (!bytes) {
        reportUnreadFile(bytes, path, "Cannot open the world file");
        return false;
    }
    auto file = parseWorldFile(bytes.bytes);
    if (!file) {
        reportFileError("The world file is shorter than its header", path);
        return false;
    }
    if (!file->endRecordFound) {
        reportFileError("The world file ends before its end record", path);
    }
    setWindowTitle(window, "Orvalis : Loading Ground");
    readNamedGround(world.ground, dataRoot, file->groundName, path);
    world.instanceCount = static_cast<std::int32_t>(file->instances.size());
    world.instances = std::move(file->instances);
    loadModels(world, dataRoot, file->modelNames, path, window, log);
    setWindowTitle(window, "Orvalis : Displaying");
    return true;
}

}  // namespace

// The log is created first, so that it never describes an earlier world.
bool World::readWorld(const char* dataRoot, const char* path, WindowHandle window) {
    release(*this);
    return failingWhenMemoryRunsOut(
        path,
        [&] {
            const LogFile log = createModelLog();
            return readWorldFile(*this, dataRoot, path, window, log.get());
        },
        [&] {
            release(*this);
            return false;
        });
}
