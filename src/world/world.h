#pragma once
// A world: one ground and many placed models.

#include "ground/ground.h"
#include "model/model.h"
#include "platform/win32_types.h"

class World {
  public:
    virtual ~World() = default;

    // Reads the world file at `path`, its ground and each distinct model, showing the progress in
    // the title of `window` (none when null) and logging the models to sortie.txt. False when the
    // world file cannot be opened or is too short for its header.
    bool readWorld(const char* dataRoot, const char* path, WindowHandle window);
    void drawWorld();

    Ground ground;
};
