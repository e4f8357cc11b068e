#pragma once
// A model: a hierarchy of up to 30 textured triangle meshes (nodes) read from a model file, drawn
// at a placement with its key-frame animation.
//
// The model file, little-endian: a 31-byte header, the texture count Nt and Nt 40-byte texture
// names, then the node records, each reached through the continuation check (peekContinuation).
// A node record: name (40), the first node only a 4-byte extra word, parent name (40), the first
// node only ten 4-byte extra values, Nn and Nn model texture indices, the 88-byte transform, Nv
// and Nv vertices, Nc and Nc texture coordinates, Nf and Nf faces, then a key-frame block when the
// continuation check finds a non-zero word there: Nk and Nk key frames. A file may end right after
// a node's faces: that node has no key frames and is the last.

#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "io/byte_cursor.h"
#include "platform/gl.h"
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

// What the continuation check finds at the cursor.
enum Continuation : int {
    CONTINUATION_END = 0,         // two zero words, both consumed
    CONTINUATION_AFTER_ZERO = 1,  // one zero word, consumed; a non-zero word is next
    CONTINUATION_DATA = 2,        // a non-zero word is next; nothing consumed
    CONTINUATION_CUT_SHORT = 3,   // the data ends before the check could decide
};
Continuation peekContinuation(ByteCursor& file);

// How a node record ended.
enum class NodeRead {
    damaged,     // cut short, or a count or index out of range
    whole,       // what follows decides whether another node comes
    lastInFile,  // the file ends right after its faces: no key frames, and no node after it
};

// The rotation of the key frames at `clock`, interpolated between the current key frame and the
// next one (the first again after the last), normalised.
Quaternion keyFrameRotation(std::span<const KeyFrame> keyFrames, std::int32_t clock);

struct ModelBounds {
    Vector3 maxBound;
    Vector3 minBound;
    Vector3 centre;
};

class ModelNode {
  public:
    ModelNode() = default;
    // Movable, so a re-read or a fresh object replaces the arrays without copying them.
    ModelNode(const ModelNode&) = default;
    ModelNode(ModelNode&&) = default;
    ModelNode& operator=(const ModelNode&) = default;
    ModelNode& operator=(ModelNode&&) = default;
    virtual ~ModelNode() = default;

    // Reads one node record; `isFirst` for node 0, which carries the extra fields. Damaged, with
    // `problem` said, when the record has a negative count or a texture index not below
    // `modelTextureCount`, or is cut short (the file ends inside it, or one to three bytes after
    // its faces); the cursor is then somewhere inside the record.
    NodeRead read(ByteCursor& file, std::int32_t modelTextureCount, bool isFirst,
                  std::string& problem);
    // Drops the faces whose vertex or texture-coordinate indices lie outside the node's arrays,
    // so that drawing never checks them; gives how many it dropped.
    int dropFacesOutOfRange();
    // Fills the node's texture table from the model's: entry i is model texture textureIndices[i].
    void resolveTextures(std::span<const GLuint> modelTextures,
                         std::span<const std::uint8_t> modelFromTga);

    // The 4x4 form of the node's 3x3 matrix.
    Matrix4 meshMatrix() const;
    // Bounds of the vertices under the node's matrix, moved by position and offset unless the
    // node is the only one of its model.
    void computeBounds();

    // The pose of the key frames at the node's clock, then the clock's step of 100 (back to 0 on
    // reaching the last key frame's time).
    Matrix4 keyFrameStep();
    // Scale, placement and rotation stay on the matrix for the node's children; the mesh
    // translation and matrix apply to the node's own faces only.
    void draw(bool isRoot, const ModelBounds& modelBounds);

    NodeTransform transform{};
    std::vector<Vector3> vertices;
    Vector3 centre;
    Vector3 minBound;
    Vector3 maxBound;
    std::string name;
    std::string parentName;
    bool singleNode = false;  // node 0 of a model that has no other node
    std::int32_t animTime = 0;
    std::uint32_t rootExtraWord = 0;
    std::vector<std::int32_t> textureIndices;
    std::array<std::uint32_t, 10> rootExtraValues{};
    std::vector<ModelTexCoord> texCoords;
    std::vector<ModelFace> faces;
    std::int32_t vertexCount = 0;
    std::int32_t texCoordCount = 0;
    std::int32_t faceCount = 0;
    std::int32_t textureCount = 0;
    std::vector<GLuint> textures;       // the node's texture table, resolved at load
    std::vector<std::uint8_t> fromTga;  // per entry: 1 blends (TGA), 0 alpha-tests (BMP)
    std::int32_t keyFrameCount = 0;
    std::vector<KeyFrame> keyFrames;

  private:
    void applyPlacement(bool isRoot, const ModelBounds& modelBounds) const;
    void applyMeshTranslation(bool isRoot, const ModelBounds& modelBounds) const;
    void drawFaces() const;
    void drawFace(const ModelFace& face) const;
};

class Model {
  public:
    Model() = default;
    Model(const Model&) = default;
    Model(Model&&) = default;
    Model& operator=(const Model&) = default;
    Model& operator=(Model&&) = default;
    virtual ~Model() = default;

    // Reads the model file at `path` and loads its textures below `dataRoot`. False when the file
    // cannot be opened (nothing reported), or when it is larger than kMaxDataFileBytes, its header
    // or texture list is damaged, it holds no whole node or memory runs out (one line on standard
    // error); the model then stays as constructed.
    bool load(const char* dataRoot, const char* path);
    // The GL-free part of load: the records, parent links and bounds from the file's bytes; the
    // model textures and node texture tables are left for createTextures.
    bool parse(std::span<const std::uint8_t> bytes, std::string_view path);
    // Creates and loads the model's textures, then resolves the node texture tables.
    void createTextures(const char* dataRoot);
    void resolveNodeTextures();

    // Draws the model at a placement: position (y negated), rotation angles in degrees about x, y
    // and z, scale (y negated). A model without nodes draws nothing.
    void draw(float x, float y, float z, float rotX, float rotY, float rotZ, float scaleX,
              float scaleY, float scaleZ);
    // Draws a node and its children below it; `drawn` keeps each node to one draw even when the
    // parent links form a cycle.
    void drawSubtree(std::int32_t nodeIndex, bool isRoot, std::bitset<MaxModelNodes>& drawn);

    // Bounds of node 0 and the root's direct children, and the model's from theirs.
    void computeBounds();

    Vector3 maxBound;
    Vector3 minBound;
    Vector3 centre;
    std::vector<std::int32_t> parentIndex;  // per node; a node whose parent is not found has 0
    std::array<std::uint8_t, 31> header{};
    std::int32_t nodeCount = 0;
    std::vector<ModelNode> nodes;
    std::int32_t textureCount = 0;
    std::vector<GLuint> textures;
    std::vector<std::string> textureNames;
    std::vector<std::uint8_t> fromTga;  // 1 when the texture came from a TGA file, else 0

  private:
    bool readTextureList(ByteCursor& file, std::string_view path);
    // Gives false when a damaged node ended the list (already reported).
    bool readNodes(ByteCursor& file, std::string_view path);
    void linkParents();
    bool isRootChild(std::int32_t k) const { return k >= 1 && parentIndex[k] == 0; }
};
