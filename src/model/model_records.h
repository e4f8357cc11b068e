#pragma once
// The records of a model file as the file stores them, apart from GL: what the parser gives, the
// file writer takes and the drawable model is built from. A count of the file is the size of the
// vector it counts: the parser checks each against the bytes left before it reads the records.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

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

    bool operator==(const NodeTransform&) const = default;
};
static_assert(sizeof(NodeTransform) == 88);

// The identity matrix, scale 1, no offset, position or rotation: the mesh as it is.
inline NodeTransform identityTransform() {
    NodeTransform transform{};
    transform.matrix[0] = transform.matrix[4] = transform.matrix[8] = 1;
    transform.scale = {1, 1, 1};
    return transform;
}

struct ModelTexCoord {
    float unused;
    float u;
    float v;

    bool operator==(const ModelTexCoord&) const = default;
};
static_assert(sizeof(ModelTexCoord) == 12);

// One triangle, 24 bytes as stored.
struct ModelFace {
    std::int16_t vertexIndices[3];
    std::int16_t texCoordIndices[3];
    std::uint16_t textureIndex;  // into the node's texture table
    std::uint8_t unused[10];

    bool operator==(const ModelFace&) const = default;
};
static_assert(sizeof(ModelFace) == 24);

struct KeyFrame {
    std::int32_t time;  // in animation-clock units; the clock steps 100 per draw
    Quaternion rotation;

    bool operator==(const KeyFrame&) const = default;
};
static_assert(sizeof(KeyFrame) == 20);

// One node record.
struct ModelFileNode {
    std::string name;
    std::string parentName;
    std::uint32_t rootExtraWord = 0;                  // node 0 only
    std::array<std::uint32_t, 10> rootExtraValues{};  // likewise
    std::vector<std::int32_t> textureIndices;         // into the model's texture names
    NodeTransform transform = identityTransform();
    std::vector<Vector3> vertices;
    std::vector<ModelTexCoord> texCoords;
    std::vector<ModelFace> faces;
    std::vector<KeyFrame> keyFrames;  // none: the node turns by its transform's rotation

    bool operator==(const ModelFileNode&) const = default;
};

struct ModelFile {
    std::array<std::uint8_t, 31> header{};
    std::vector<std::string> textureNames;
    std::vector<ModelFileNode> nodes;  // at most MaxModelNodes

    bool operator==(const ModelFile&) const = default;
};
