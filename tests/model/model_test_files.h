#pragma once
// Small model files for the model tests, built with the model writer.

#include <gtest/gtest.h>

#include <string>

#include "formats/model_writer.h"
#include "model/model.h"
#include "model/model_file.h"

// A node with one face over the three given corners, texture coordinates (0,0), (1,0), (0,1).
inline ModelFileNode triangleNode(std::string name, std::string parentName, Vector3 a, Vector3 b,
                                  Vector3 c, std::uint16_t textureIndex = 0) {
    ModelFileNode node;
    node.name = std::move(name);
    node.parentName = std::move(parentName);
    node.vertices = {a, b, c};
    node.texCoords = {{0, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    node.faces = {modelFace({0, 1, 2}, {0, 1, 2}, textureIndex)};
    return node;
}

inline ModelFileNode pointNode(std::string name, std::string parentName, Vector3 at = {}) {
    return triangleNode(std::move(name), std::move(parentName), at, at, at);
}

inline void expectNear(Vector3 actual, Vector3 expected, float tolerance, const std::string& what) {
    EXPECT_NEAR(actual.x, expected.x, tolerance) << what;
    EXPECT_NEAR(actual.y, expected.y, tolerance) << what;
    EXPECT_NEAR(actual.z, expected.z, tolerance) << what;
}

// The model parsed from the description's bytes; the test fails when it does not parse.
inline Model parsedModel(const ModelFile& description) {
    auto file = parseModelFile(modelFileBytes(description));
    EXPECT_TRUE(file) << file.reason();
    return file ? Model(std::move(file->records)) : Model();
}
