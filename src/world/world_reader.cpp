#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "io/file_errors.h"
#include "io/host_files.h"
#include "text/printable_text.h"
#include "world/world.h"

namespace {

using LogFile = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

// The path of a file that the world names below the data root, or nothing, reported against the
// world file, when the name leaves the data root or the path would be longer than kMaxPathLength.
std::optional<std::string> namedFilePath(const char* format, const char* dataRoot,
                                         const std::string& name, const char* worldPath) {
    auto path = composeDataPath(format, dataRoot, name);
    if (!path) {
        reported(staysBelowDataRoot(name)
                     ? ReadResult(kWorldPathTooLong, {name, std::to_string(kMaxPathLength)})
                     : ReadResult(kWorldNameOutsideDataRoot, {name}),
                 worldPath);
    }
    return path;
}

// The log is created afresh by every read; without it the world loads all the same.
LogFile createModelLog(const std::string& path) {
    LogFile log(path.empty() ? nullptr : openHostFile(path, "w"), std::fclose);
    if (!log && !path.empty()) {
        reported(kWorldCannotCreateLog, path);
    }
    return log;
}

// Each line goes out at once, so the log shows how far a load got. A name's control characters are
// escaped, so that it takes one line whatever it holds.
void logModel(std::FILE* log, std::uint8_t loaded, int number, const std::string& name) {
    if (log != nullptr) {
        std::fprintf(log, "%d %d %s\n", loaded, number, printableText(name).c_str());
        std::fflush(log);
    }
}

// Its arrays are replaced by empty ones, which frees them. Their GL texture names are not
// deleted: after a window re-creation they belong to a context that is gone.
void release(World& world) {
    world.instances = std::vector<ModelInstance>();
    world.models = std::vector<Model>();
    world.loaded = std::vector<std::uint8_t>();
    world.ground = Ground();
}

// What a world's load needs besides its own file.
struct WorldLoad {
    const char* dataRoot;
    const char* worldPath;
    SceneLoad& scene;
    const WorldProgress& progress;
    std::FILE* log;

    void show(const std::string& title) const {
        if (progress) {
            progress(title);
        }
    }
};

void readNamedGround(Ground& ground, const std::string& name, const WorldLoad& load) {
    if (const auto path = namedFilePath("%s\\data\\%s", load.dataRoot, name, load.worldPath)) {
        ground.readGround(load.dataRoot, path->c_str(), load.scene);
    }
}

std::string modelTitle(std::int32_t number, std::int32_t count, const std::string& name) {
    return "Orvalis : Loading Models (" + std::to_string(number) + "\\" + std::to_string(count) +
           ") : " + name;
}

// The models of a world's distinct names, each file read once whatever name reaches it.
class ModelFiles {
  public:
    explicit ModelFiles(World& world) : world_(world) {}

    // Loads model `k` from the file its name reaches, unless an earlier name reached that file:
    // model `k` then stays empty and gives its placements to that name's model, whose load it
    // shares. Gives whether the file loaded.
    std::uint8_t load(std::int32_t k, const std::string& name, const WorldLoad& load) {
        const auto path = namedFilePath("%s\\data\\model\\%s", load.dataRoot, name, load.worldPath);
        if (!path) {
            return 0;
        }
        const std::int32_t first = firstOfFile_.try_emplace(fileIdentity(*path), k).first->second;
        if (first != k) {
            sameAs_.emplace(k, first);
            return world_.loaded[first];
        }
        return world_.models[k].load(load.dataRoot, path->c_str(), load.scene) ? 1 : 0;
    }

    // Points the placements of every name that shares a file at the model of that file.
    void placeShared() const {
        for (ModelInstance& instance : world_.instances) {
            if (const auto shared = sameAs_.find(instance.modelIndex); shared != sameAs_.end()) {
                instance.modelIndex = shared->second;
            }
        }
    }

  private:
    World& world_;
    std::map<std::string, std::int32_t> firstOfFile_;
    std::map<std::int32_t, std::int32_t> sameAs_;
};

// Each distinct model once, in order of first appearance: its title before the load, its log
// line after it.
void loadModels(World& world, const std::vector<std::string>& names, const WorldLoad& load) {
    world.models = std::vector<Model>(names.size());
    world.loaded = std::vector<std::uint8_t>(names.size());
    ModelFiles files(world);
    const auto count = static_cast<std::int32_t>(names.size());
    for (std::int32_t k = 0; k < count; ++k) {
        const std::string& name = names[k];
        load.show(modelTitle(k + 1, count, name));
        world.loaded[k] = files.load(k, name, load);
        logModel(load.log, world.loaded[k], k + 1, name);
    }
    files.placeShared();
}

ReadResult readWorldFile(World& world, const WorldLoad& load) {
    const Result<FileBytes> bytes = readHostFile(load.worldPath);
    if (!bytes) {
        return unreadFileResult(bytes.result(), kWorldCannotOpen);
    }
    Result<WorldFile> file = parseWorldFile(*bytes);
    if (!file) {
        return file.result();
    }
    if (!file->endRecordFound) {
        reported(kWorldEndRecordMissing, load.worldPath);
    }
    load.show("Orvalis : Loading Ground");
    readNamedGround(world.ground, file->groundName, load);
    world.instances = std::move(file->instances);
    loadModels(world, file->modelNames, load);
    load.show("Orvalis : Displaying");
    return {};
}

}  // namespace

// The log is created first, so that it never describes an earlier world.
ReadResult World::readWorld(const char* dataRoot, const char* path, SceneLoad& scene,
                            const WorldProgress& progress, const std::string& logPath) {
    release(*this);
    return failingWhenMemoryRunsOut(
        path,
        [&] {
            const LogFile log = createModelLog(logPath);
            const WorldLoad load{dataRoot, path, scene, progress, log.get()};
            return reported(readWorldFile(*this, load), path);
        },
        [&] {
            release(*this);
            return ReadResult(kOutOfMemory);
        });
}
