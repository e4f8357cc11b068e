#pragma once
// A model: a hierarchy of up to 30 textured triangle meshes (nodes) built from the records of a
// model file (model_records.h), drawn at a placement with its key-frame animation. The file's
// layout is told in model_file.h.

#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "io/read_result.h"
#include "model/model_records.h"
#include "texture/texture_loader.h"
#include "view/bounding_box.h"
#include "view/transform.h"
#include "view/vector3.h"

// The rotation of the key frames at `clock`, interpolated between the current key frame and the
// next one (the first again after the last), normalised.
Quaternion keyFrameRotation(std::span<const KeyFrame> keyFrames, std::int32_t clock);

// Sends the faces of one node while its mesh matrix is current, in place of the glBegin/glEnd per
// face that a draw sends without one: the batched renderer's arrays.
using FaceSender = std::function<void()>;
using NodeFaceSender = std::function<void(std::int32_t nodeIndex)>;

struct ModelBounds {
    Vector3 maxBound;
    Vector3 minBound;
    Vector3 centre;
};

// A node: its record, the bounds and animation clock of its drawing, and its texture table.
class ModelNode : public ModelFileNode {
  public:
    ModelNode() = default;
    explicit ModelNode(ModelFileNode record) : ModelFileNode(std::move(record)) {}
    // Copyable and movable. The moves are declared because the virtual destructor would leave
    // only the copies: a re-read or a fresh object replaces the arrays by moving them.
    ModelNode(const ModelNode&) = default;
    ModelNode(ModelNode&&) = default;
    ModelNode& operator=(const ModelNode&) = default;
    ModelNode& operator=(ModelNode&&) = default;
    virtual ~ModelNode() = default;

    // Fills the node's texture table from the model's: entry i is model texture textureIndices[i].
    void resolveTextures(std::span<const TextureName> modelTextures,
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
    void draw(bool isRoot, const ModelBounds& modelBounds, const FaceSender& sendFaces = {});
    // The same drawing with the node's scale, placement and rotation composed on the CPU onto
    // `parentFrame` and sent as one matrix inside one push; gives the frame for its children.
    Matrix4 drawComposed(const Matrix4& parentFrame, bool isRoot, const ModelBounds& modelBounds,
                         const FaceSender& sendFaces = {});

    Vector3 centre;
    Vector3 minBound;
    Vector3 maxBound;
    bool singleNode = false;  // node 0 of a model that has no other node
    std::int32_t animTime = 0;
    std::vector<TextureName> textures;  // the node's texture table, resolved at load
    std::vector<std::uint8_t> fromTga;  // per entry: 1 blends (TGA), 0 alpha-tests (BMP)

  private:
    float rotationDegrees() const;
    Vector3 placement(bool isRoot, const ModelBounds& modelBounds) const;
    void drawMesh(bool isRoot, const ModelBounds& modelBounds, const FaceSender& sendFaces) const;
    void drawFaces() const;
    void drawFace(const ModelFace& face) const;
};

class Model {
  public:
    Model() = default;
    // The model of the file's records: its nodes, their parent links and its bounds; no textures
    // yet. Every face's indices lie inside its node's arrays and every node's texture indices
    // below the count of texture names, as the parser leaves them: drawing checks neither.
    explicit Model(ModelFile records);
    Model(const Model&) = default;
    Model(Model&&) = default;
    Model& operator=(const Model&) = default;
    Model& operator=(Model&&) = default;
    virtual ~Model() = default;

    // Reads the model file at `path` (parseModelFile) and loads its textures below `dataRoot`,
    // within the budgets of `scene`. A file that cannot be opened is not reported: its caller
    // decides. One larger than kMaxDataFileBytes or than what is left of the scene's budget of file
    // bytes, one the parser finds damaged, and memory that runs out give one line on standard
    // error; the model then stays as constructed. What the parser left out of a model that loads
    // is reported too, a line for each.
    ReadResult load(const char* dataRoot, const char* path, SceneLoad& scene);
    // Creates and loads the model's textures, then resolves the node texture tables.
    void createTextures(const char* dataRoot, SceneLoad& scene);
    // Fills the node texture tables from the model's textures.
    void resolveNodeTextures();

    // Draws the model at a placement: position (y negated), rotation angles in degrees about x, y
    // and z, scale (y negated). A model without nodes draws nothing.
    void draw(float x, float y, float z, float rotX, float rotY, float rotZ, float scaleX,
              float scaleY, float scaleZ, const NodeFaceSender& sendFaces = {});
    // The model's bounds where draw(0, 0, 0, 0, 0, 0, 1, 1, 1) puts them: centred in x and z,
    // standing on y = 0 and reaching up by their height, then scaled by the root's scale. The
    // root's rotation is left out. A model without nodes or vertices gives the box of the origin
    // alone.
    BoundingBox placedBounds() const;
    // Draws a node at `treeLevel` (the root is 1) and its children below it; `drawn` keeps each
    // node to one draw even when the parent links form a cycle. The levels past what the
    // model-view stack holds for a model are drawn by drawComposedSubtree.
    void drawSubtree(std::int32_t nodeIndex, bool isRoot, std::bitset<MaxModelNodes>& drawn,
                     int treeLevel, const NodeFaceSender& sendFaces = {});

    // Bounds of node 0 and the root's direct children, and the model's from theirs.
    void computeBounds();

    Vector3 maxBound;
    Vector3 minBound;
    Vector3 centre;
    std::vector<std::int32_t> parentIndex;  // per node; a node whose parent is not found has 0
    std::array<std::uint8_t, 31> header{};
    std::vector<ModelNode> nodes;
    std::vector<TextureName> textures;  // per texture name
    std::vector<std::string> textureNames;
    std::vector<std::uint8_t> fromTga;  // 1 when the texture came from a TGA file, else 0

  private:
    // Draws a node and its children on matrices composed on the CPU from `parentFrame`, relative
    // to the current one, with one push per node.
    void drawComposedSubtree(std::int32_t nodeIndex, bool isRoot, std::bitset<MaxModelNodes>& drawn,
                             const Matrix4& parentFrame, const NodeFaceSender& sendFaces);
    bool isRootChild(std::int32_t k) const { return k >= 1 && parentIndex[k] == 0; }
    std::int32_t nodeCount() const { return static_cast<std::int32_t>(nodes.size()); }
    // Node d becomes the parent of every other node that names it.
    void linkParents();
};
