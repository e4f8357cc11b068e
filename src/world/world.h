#pragma once
// A world: one ground and many placed models. The world file names the ground and lists the
// placements; each distinct model file is loaded once and shared by all its placements.

#include <cstdint>
#include <vector>

#include "ground/ground.h"
#include "model/model.h"
#include "platform/win32_types.h"
#include "view/vector3.h"

// One placement of a model, in the world file's order.
struct ModelInstance {
    std::int32_t modelIndex = 0;  // into the world's models and loaded
    Vector3 position;
    Vector3 angles;  // degrees about x, y and z
    Vector3 scale;
};

class World {
  public:
    World() = default;
    // Movable, so a re-read or a fresh object replaces the arrays without copying them.
    World(const World&) = default;
    World(World&&) = default;
    World& operator=(const World&) = default;
    World& operator=(World&&) = default;
    virtual ~World() = default;

    // Reads the world file at `path`, its ground and each distinct model below `dataRoot`,
    // showing the progress in the title of `window` (none when null) and logging which models
    // loaded to sortie.txt in the current directory; the log is created anew by every read. The
    // arrays of an earlier read are released. False, with the world left empty, when the world
    // file cannot be opened, is larger than kMaxDataFileBytes or too short for its header, or
    // memory runs out.
    bool readWorld(const char* dataRoot, const char* path, WindowHandle window);
    // Draws the ground, then every placement whose model loaded, in file order. The caller's
    // matrix is left as found.
    void drawWorld();

    std::int32_t instanceCount = 0;
    std::vector<ModelInstance> instances;
    std::int32_t modelCount = 0;
    std::vector<Model> models;  // one per distinct name, in order of first appearance
    Ground ground;
    std::vector<std::uint8_t> loaded;  // per model: 1 when its file loaded, else 0
};
