#pragma once
// The records of a model file as the file stores them, apart from GL: what the reader parses, the
// model and its nodes hold, and the file writer writes.

#include <cstdint>

#include "view/transform.h"
#include "view/vector3.h"

inline constexpr int MaxModelNodes = 30;

// A node's placement, 22 floats (88 bytes) as stored.
struct NodeTransform {
    float matrix[9];      // 3x3, column by column
    Vector3 offset;       // moves the node's own mesh
    Vector3 position;     // moves a child node relative to its parent
    float rotationAngle;  // radians; used when the node has no key frames
    Vector3 rotationAxis;
    Vector3 scale;
};
static_assert(sizeof(NodeTransform) == 88);

struct ModelTexCoord {
    float unused;
    float u;
    float v;
};
static_assert(sizeof(ModelTexCoord) == 12);

// One triangle, 24 bytes as stored.
struct ModelFace {
    std::int16_t vertexIndices[3];
    std::int16_t texCoordIndices[3];
    std::uint16_t textureIndex;  // into the node's texture table
    std::uint8_t unused[10];
};
static_assert(sizeof(ModelFace) == 24);

struct KeyFrame {
    std::int32_t time;  // in animation-clock units; the clock steps 100 per draw
    Quaternion rotation;
};
static_assert(sizeof(KeyFrame) == 20);
