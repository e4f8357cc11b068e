#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model_draw_fixture.h"

namespace {

// The most matrices that the callers hold below a model: the frame's own, the world's two pushes
// and the thumbnailer's push around its measuring pass.
constexpr int kCallerMatrices = 4;
constexpr int kGuaranteedStackDepth = 32;

// The parents of a chain of `length` nodes, each the child of the one before.
std::vector<int> chainOf(int length) {
    std::vector<int> parents;
    for (int i = 0; i < length; ++i) {
        parents.push_back(i - 1);
    }
    return parents;
}

// A node per entry of `parents` (-1 for the root), each a small triangle moved by (0.2, 0.1, 0)
// from its parent.
ModelFile treeOf(const std::vector<int>& parents) {
    ModelFile file;
    for (std::size_t i = 0; i < parents.size(); ++i) {
        const std::string parent = parents[i] < 0 ? "" : "n" + std::to_string(parents[i]);
        file.nodes.push_back(triangleNode("n" + std::to_string(i), parent, {0, 0, 0}, {0.1f, 0, 0},
                                          {0, 0.1f, 0.05f}));
        file.nodes.back().transform.position = {0.2f, 0.1f, 0};
    }
    return file;
}

// The tree of 30 nodes with some of them turning, scaling or moving their mesh, as `turnOf` and
// the expected faces below have it: node 2 turns about x, node 26 about z, node 27 scales, node
// 28 turns about x by its key frames, node 29 moves and turns its mesh.
ModelFile transformedTreeOf(const std::vector<int>& parents) {
    ModelFile file = treeOf(parents);
    const auto quarterTurn = [&](std::size_t i, Vector3 axis) {
        file.nodes[i].transform.rotationAngle = radiansFor(90);
        file.nodes[i].transform.rotationAxis = axis;
    };
    quarterTurn(2, {1, 0, 0});
    quarterTurn(26, {0, 0, 2});
    file.nodes[27].transform.scale = {1.5f, 0.5f, 1};
    file.nodes[28].transform.rotationAngle = 1;  // the key frames turn this node instead
    file.nodes[28].keyFrames = {{0, {kHalfRoot, 0, 0, kHalfRoot}}, {1000, {0, 0, 0, 1}}};
    NodeTransform& mesh = file.nodes[29].transform;
    mesh.offset = {0.1f, 0, 0.1f};
    std::fill(std::begin(mesh.matrix), std::end(mesh.matrix), 0.0f);
    mesh.matrix[1] = mesh.matrix[3] = mesh.matrix[8] = 1;  // swaps x and y
    return file;
}

Step turnOf(std::size_t node) {
    switch (node) {
        case 2:
        case 28:
            return turnX;
        case 26:
            return turnZ;
        default:
            return [](Vector3 p) { return p; };
    }
}

// Where the node's scale, placement and turn, then its ancestors', put a point of its children;
// `placed` is Model::draw's placement.
Step nodeFrame(const Model& model, std::size_t node, const Step& placed) {
    const NodeTransform& t = model.nodes[node].transform;
    if (node == 0) {
        const Vector3 rootMove{-model.centre.x, -model.maxBound.y, -model.centre.z};
        return chain({turnOf(0), moveBy(rootMove), scaleBy(t.scale), placed});
    }
    const auto parent = static_cast<std::size_t>(model.parentIndex[node]);
    return chain(
        {turnOf(node), moveBy(t.position), scaleBy(t.scale), nodeFrame(model, parent, placed)});
}

class DeepModelTree : public ModelDrawTest {
  protected:
    void SetUp() override {
        ModelDrawTest::SetUp();
        GLint stackDepth = 0;
        glGetIntegerv(GL_MAX_MODELVIEW_STACK_DEPTH, &stackDepth);
        ASSERT_EQ(stackDepth, kGuaranteedStackDepth) << "the overflow seen here needs GL's minimum";
    }

    struct Drawn {
        std::vector<FeedbackPolygon> polygons;
        GLenum error;      // the first GL error
        GLint depthAfter;  // of the model-view stack
    };

    // Draws the model with `callerMatrices` on the model-view stack, as deep as a caller holds
    // them, then empties the stack again.
    static Drawn drawBelow(int callerMatrices, Model& model) {
        for (int i = 1; i < callerMatrices; ++i) {
            glPushMatrix();
        }
        Drawn drawn{recordFeedback([&] { model.draw(0.5f, -1, 0, 0, 90, 0, 1, 0.5f, 1); }),
                    glGetError(), 0};
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &drawn.depthAfter);
        for (GLint depth = drawn.depthAfter; depth > 1; --depth) {
            glPopMatrix();
        }
        return drawn;
    }
};

}  // namespace

// A chain of 30 nodes, and a chain of 28 whose deep node and shallow node get a later child, drawn
// with as many matrices below them as a caller ever holds: every vertex lies where its ancestors'
// transforms put it, and GL reports no error.
TEST_F(DeepModelTree, EveryNodeIsDrawnWhereItsAncestorsPutIt) {
    std::vector<int> chain28WithSiblings = chainOf(28);
    chain28WithSiblings.insert(chain28WithSiblings.end(), {26, 3});
    const std::pair<const char*, std::vector<int>> trees[] = {
        {"chain of 30", chainOf(30)}, {"chain of 28 with later siblings", chain28WithSiblings}};

    for (const auto& [tree, parents] : trees) {
        Model model = parsedModel(transformedTreeOf(parents));
        ASSERT_EQ(model.nodes.size(), 30u);
        const Drawn drawn = drawBelow(kCallerMatrices, model);
        EXPECT_EQ(drawn.error, static_cast<GLenum>(GL_NO_ERROR)) << tree;
        EXPECT_EQ(drawn.depthAfter, kCallerMatrices) << tree << ": the stack is left as found";

        const Step placed = chain({scaleBy({1, -0.5f, 1}), turnY, moveBy({0.5f, 1, 0})});
        ASSERT_EQ(drawn.polygons.size(), 30u) << tree << ": every node once, in order";
        for (std::size_t i = 0; i < drawn.polygons.size(); ++i) {
            const ModelNode& node = model.nodes[i];
            const Step meshStep = chain({matrixOf(node), moveBy(node.transform.offset)});
            expectFace(drawn.polygons[i], node, chain({meshStep, nodeFrame(model, i, placed)}),
                       std::string(tree) + ", node " + std::to_string(i));
        }
        EXPECT_EQ(model.nodes[28].animTime, 100) << tree << ": one key-frame step per draw";
    }
}

// A tree that fits takes one matrix per level, Model::draw's and the mesh's besides, as it always
// has: with one caller's matrix more than the stack leaves it, a push overflows.
TEST_F(DeepModelTree, TreesThatFitKeepAMatrixPerLevel) {
    for (const int depth : {3, 26}) {
        Model model = parsedModel(treeOf(chainOf(depth)));
        const int callersRoom = kGuaranteedStackDepth - (depth + 2);
        EXPECT_EQ(drawBelow(callersRoom, model).error, static_cast<GLenum>(GL_NO_ERROR)) << depth;
        EXPECT_EQ(drawBelow(callersRoom + 1, model).error, static_cast<GLenum>(GL_STACK_OVERFLOW))
            << depth;
    }
}
