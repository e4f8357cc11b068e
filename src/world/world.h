#pragma once
// A world: one ground and many placed models. The world file names the ground and lists the
// placements; each distinct model file is loaded once and shared by all its placements.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ground/ground.h"
#include "io/read_result.h"
#include "model/model.h"
#include "texture/scene_load.h"
#include "world/world_file.h"

// Receives each progress title of a world's load, in order; an empty one shows nothing.
using WorldProgress = std::function<void(const std::string& title)>;

// Where a world's model log goes unless its reader is told otherwise: the current directory.
inline constexpr char kModelLogName[] = "sortie.txt";

class World {
  public:
    World() = default;
    // Copyable and movable. The moves are declared because the virtual destructor would leave
    // only the copies: a re-read or a fresh object replaces the arrays by moving them.
    World(const World&) = default;
    World(World&&) = default;
    World& operator=(const World&) = default;
    World& operator=(World&&) = default;
    virtual ~World() = default;

    // Reads the world file at `path`, its ground and each distinct model below `dataRoot` within
    // the budgets of `scene`, giving `progress` its titles and logging which models loaded to the
    // file `logPath` (none when it is empty); the log is created anew by every read. Names that
    // reach one file (another spelling, letter case or path) read it once: the later names keep
    // an empty model, log whether the file loaded, and their placements draw the first name's
    // model. The arrays of an earlier read are released. The world is left empty, and the reason
    // reported in one line on standard error, when the world file cannot be opened or read, is
    // larger than kMaxDataFileBytes or too short for its header, or memory runs out; a ground or
    // model that does not load leaves the world read all the same.
    ReadResult readWorld(const char* dataRoot, const char* path, SceneLoad& scene,
                         const WorldProgress& progress, const std::string& logPath = kModelLogName);
    // Draws the ground, then every placement whose model loaded, in file order. The caller's
    // matrix is left as found.
    void drawWorld();

    std::vector<ModelInstance> instances;
    std::vector<Model> models;  // one per distinct name, in order of first appearance
    Ground ground;
    std::vector<std::uint8_t> loaded;  // per model: 1 when its file loaded, else 0
};
