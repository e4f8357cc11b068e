#pragma once
// The batched drawing of a model: each node's faces in client-side vertex arrays, grouped by their
// texture and by whether they blend (TGA) or are alpha-tested (BMP), so that a node sends a few
// draws in place of one bind, one state switch and one glBegin/glEnd for each face. The node tree
// is walked by Model::draw itself, so every node gets the matrix the immediate drawing gives it
// and every animated node steps its clock as there.
//
// Faces that may cover one pixel keep their order: a blended face writes depth, so a face behind
// it that comes later is hidden while one that came before shows through, and where two faces tie
// in depth the later one wins. Each frame, the faces of a node with more than one group are put
// in layers by where they land in the window: a face goes into a later layer than every earlier
// face of another group whose window area it may share, and no earlier one than such a face of
// its own group. Drawn layer by layer, group by group, each face keeps its place relative to
// every face it may overlap.

#include <cstdint>
#include <vector>

#include "model/model.h"
#include "platform/gl.h"
#include "view/transform.h"
#include "view/vertex_arrays.h"

// The window that a frame's faces land in: its projection and viewport.
struct FrameWindow {
    Matrix4 projection;
    float viewport[4];  // x, y, width, height
    static FrameWindow ofCurrentState();
};

class ModelBatches {
  public:
    // The arrays of `model` as it is now; its texture names belong to the current context.
    void build(const Model& model);
    // Draws `model`, whose arrays these are, at a placement as Model::draw does, with its own
    // client arrays switched on.
    void draw(Model& model, float x, float y, float z, float rotX, float rotY, float rotZ,
              float scaleX, float scaleY, float scaleZ) const;
    // The same within the caller's client arrays and frame window.
    void drawWithin(const ClientArrays& arrays, const FrameWindow& window, Model& model, float x,
                    float y, float z, float rotX, float rotY, float rotZ, float scaleX,
                    float scaleY, float scaleZ) const;
    // Moves the model's animation on as a draw does, without drawing: each animated node that a
    // draw reaches steps its clock once.
    void stepClocks(Model& model) const;
    // How far from a placement's position, before its scale, any point a draw sends may lie
    // (infinite when that cannot be bounded).
    float reach() const { return reach_; }

  private:
    struct Group {
        GLuint texture;
        bool blended;
    };
    struct NodeArrays {
        std::uint32_t firstVertex = 0;  // three vertices per face, in the order they are sent
        std::vector<Group> groups;
        std::vector<std::uint32_t> faceGroups;  // per face, so also how many there are
    };

    void sendNodeFaces(const ClientArrays& arrays, const FrameWindow& window,
                       std::int32_t nodeIndex) const;
    void orderFaces(const NodeArrays& node, const FrameWindow& window, bool lit) const;
    float subtreeReach(const Model& model, std::int32_t nodeIndex, std::vector<bool>& reached);

    std::vector<TexturedVertex> vertices_;
    std::vector<NodeArrays> nodes_;
    std::vector<std::int32_t> animatedNodes_;  // the animated nodes that a draw reaches
    float reach_ = 0;
    mutable std::vector<Vector3> normals_;  // made on the first lit draw
    // One node's faces in the frame's order, and their vertices in that order.
    struct PlacedFace {
        std::uint32_t layer;
        std::uint32_t group;
        std::uint32_t face;
    };
    mutable std::vector<PlacedFace> order_;
    mutable std::vector<TexturedVertex> orderedVertices_;
    mutable std::vector<Vector3> orderedNormals_;
};
