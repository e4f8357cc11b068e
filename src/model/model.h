#pragma once
// A model: a hierarchy of up to 30 textured triangle meshes (nodes) read from a model file, drawn
// at a placement with its key-frame animation.

#include <cstdint>

class Model {
  public:
    virtual ~Model() = default;

    // Reads the model file at `path` and loads its textures below `dataRoot`; false when the file
    // cannot be opened or holds no usable node.
    bool load(const char* dataRoot, const char* path);
    // Draws the model at a placement: position, rotation angles in degrees, scale.
    void draw(float x, float y, float z, float rotX, float rotY, float rotZ, float scaleX,
              float scaleY, float scaleZ);

    std::int32_t nodeCount = 0;
};
