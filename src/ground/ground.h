#pragma once
// A ground: a height field of square cells, each with up to three textured quads (its top and the
// two walls that join it to its neighbours), read from a ground file and drawn cell by cell.

#include <cstdint>

#include "platform/gl.h"

class Ground {
  public:
    virtual ~Ground() = default;

    // Reads the ground file at `path` and loads its textures below `dataRoot`. A file that cannot
    // be read or is damaged leaves the ground empty and gives false.
    bool readGround(const char* dataRoot, const char* path);
    void drawGround() const;

    std::int32_t width = 0;
    std::int32_t height = 0;
};
