#include <gtest/gtest.h>

#include "model_test_files.h"

namespace {

void expectVector(Vector3 actual, Vector3 expected, const char* what) {
    expectNear(actual, expected, 0, what);
}

constexpr Vector3 kEmptyMin{999999, 999999, 999999};
constexpr Vector3 kEmptyMax{-999999, -999999, -999999};

}  // namespace

TEST(ModelBounds, OneNodeIgnoresOffsetAndPosition) {
    ModelFile file;
    file.nodes = {triangleNode("only", "", {0, 0, 0}, {2, 4, 6}, {1, 1, 1})};
    file.nodes[0].transform.offset = {5, 5, 5};
    file.nodes[0].transform.position = {7, 7, 7};
    const Model model = parsedModel(file);
    expectVector(model.minBound, {0, 0, 0}, "min");
    expectVector(model.maxBound, {2, 4, 6}, "max");
    expectVector(model.centre, {1, 2, 3}, "centre");
}

TEST(ModelBounds, CountNodeZeroAndTheRootsChildrenOnly) {
    ModelFile file;
    file.nodes = {pointNode("root", ""), pointNode("child", "root"),
                  pointNode("grandchild", "child", {500, 500, 500}),
                  pointNode("orphan", "nobody", {-1, -1, -1})};
    file.nodes[1].transform.offset = {1, 2, 3};
    file.nodes[1].transform.position = {10, 0, 0};
    file.nodes[2].transform.position = {-900, -900, -900};
    const Model model = parsedModel(file);
    expectVector(model.nodes[1].minBound, {11, 2, 3}, "child min");
    expectVector(model.nodes[1].maxBound, {11, 2, 3}, "child max");
    // The orphan hangs from the root and counts; the grandchild never does.
    expectVector(model.minBound, {-1, -1, -1}, "model min");
    expectVector(model.maxBound, {11, 2, 3}, "model max");
    expectVector(model.centre, {5, 0.5f, 1}, "model centre");
    expectVector(model.nodes[2].minBound, {}, "grandchild bounds are never computed");
}

TEST(ModelBounds, NodesWithoutVerticesKeepTheEmptyValues) {
    ModelFile file;
    file.nodes = {pointNode("root", ""), pointNode("empty", "root")};
    file.nodes[0].vertices = {{-1, 0, 0}, {1, 0, 0}, {0, 0, 0}};
    file.nodes[1].vertices.clear();
    file.nodes[1].faces.clear();
    const Model model = parsedModel(file);
    expectVector(model.nodes[1].minBound, kEmptyMin, "empty min");
    expectVector(model.nodes[1].maxBound, kEmptyMax, "empty max");
    expectVector(model.nodes[1].centre, {0, 0, 0}, "empty centre");
    expectVector(model.minBound, {-1, 0, 0}, "widened by nothing");

    file.nodes.pop_back();
    file.nodes[0].vertices.clear();
    file.nodes[0].faces.clear();
    const Model empty = parsedModel(file);
    expectVector(empty.minBound, kEmptyMin, "model min");
    expectVector(empty.maxBound, kEmptyMax, "model max");
    expectVector(empty.centre, {0, 0, 0}, "model centre");
}

TEST(ModelBounds, VerticesCountUnderTheNodeMatrix) {
    ModelFile file;
    file.nodes = {pointNode("swap", "", {1, 2, 3})};
    float* m = file.nodes[0].transform.matrix;
    std::fill(m, m + 9, 0.0f);
    m[1] = m[3] = m[8] = 1;  // column 0 = (0, 1, 0), column 1 = (1, 0, 0), column 2 = (0, 0, 1)
    const Model model = parsedModel(file);
    expectVector(model.minBound, {2, 1, 3}, "min");
    expectVector(model.maxBound, {2, 1, 3}, "max");

    Matrix4 moved = model.nodes[0].meshMatrix();
    moved[12] = 10;
    moved[3] = moved[7] = moved[11] = moved[15] = 99;  // w row: no division
    expectVector(transformPoint(moved, {1, 2, 3}), {12, 1, 3}, "translation column");
}
