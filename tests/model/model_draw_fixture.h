#pragma once
// The model drawing tests' frame: a GL context with an orthographic box of +-10 in every
// direction, the vertices sent as scene coordinates, and the transforms a vertex should meet
// written as steps on points, independent of the matrices the drawing uses.

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "gl_test.h"
#include "model_test_files.h"

using Step = std::function<Vector3(Vector3)>;

inline constexpr double kDegreesPerRadian = 57.29582790879778;
inline constexpr float kHalfRoot = 0.70710678f;

// Applies the steps in the order given: the first step acts on the vertex first.
inline Step chain(std::vector<Step> steps) {
    return [steps](Vector3 p) {
        for (const Step& step : steps) {
            p = step(p);
        }
        return p;
    };
}

inline Step moveBy(Vector3 d) {
    return [d](Vector3 p) { return Vector3{p.x + d.x, p.y + d.y, p.z + d.z}; };
}
inline Step scaleBy(Vector3 s) {
    return [s](Vector3 p) { return Vector3{p.x * s.x, p.y * s.y, p.z * s.z}; };
}
inline Step matrixOf(const ModelNode& node) {
    return [m = node.meshMatrix()](Vector3 p) { return transformPoint(m, p); };
}
// Quarter turns, counter-clockwise seen from the positive axis.
inline const Step turnX = [](Vector3 p) { return Vector3{p.x, -p.z, p.y}; };
inline const Step turnY = [](Vector3 p) { return Vector3{p.z, p.y, -p.x}; };
inline const Step turnZ = [](Vector3 p) { return Vector3{-p.y, p.x, p.z}; };

inline float radiansFor(double degrees) {
    return static_cast<float>(degrees / kDegreesPerRadian);
}

class ModelDrawTest : public HeadlessGlTest {
  protected:
    static constexpr float kBox = 10;

    static Vector3 sceneCoordinates(const FeedbackVertex& v) {
        return {(v.x / HeadlessGlTest::kWidth * 2 - 1) * kBox,
                (v.y / HeadlessGlTest::kHeight * 2 - 1) * kBox, -(v.z * 2 - 1) * kBox};
    }

    // The corners of the node's first face as they reach GL: 0, 2, 1, each through `toScene`.
    static void expectFace(const FeedbackPolygon& polygon, const ModelNode& node,
                           const Step& toScene, const std::string& what) {
        ASSERT_EQ(polygon.size(), 3u) << what;
        const ModelFace& face = node.faces[0];
        const int order[3] = {0, 2, 1};
        for (int k = 0; k < 3; ++k) {
            expectNear(sceneCoordinates(polygon[k]),
                       toScene(node.vertices[face.vertexIndices[order[k]]]), 2e-3f, what);
            const ModelTexCoord& uv = node.texCoords[face.texCoordIndices[order[k]]];
            EXPECT_EQ(std::pair(polygon[k].s, polygon[k].t), std::pair(uv.u, uv.v)) << what;
        }
    }

    void SetUp() override {
        HeadlessGlTest::SetUp();
        glMatrixMode(GL_PROJECTION);
        glOrtho(-kBox, kBox, -kBox, kBox, -kBox, kBox);
        glMatrixMode(GL_MODELVIEW);
        glEnable(GL_TEXTURE_2D);
    }
};
