#include "view/transform.h"

#include <gtest/gtest.h>

#include "gl_test.h"

namespace {

Matrix4 currentModelView() {
    Matrix4 m{};
    glGetFloatv(GL_MODELVIEW_MATRIX, m.data());
    return m;
}

void expectMatrixNear(const Matrix4& actual, const Matrix4& expected, const char* what) {
    for (std::size_t i = 0; i < actual.size(); ++i) {
        EXPECT_NEAR(actual[i], expected[i], 1e-5f) << what << ", element " << i;
    }
}

}  // namespace

using TransformMatrices = HeadlessGlTest;

// Composed on the CPU, the matrices are those that GL's own operations build.
TEST_F(TransformMatrices, MatchWhatGlBuilds) {
    const Matrix4 start{0.5f, 1, -2, 0, 3, 0.25f, 1, 0, -1, 2, 1.5f, 0, 4, -5, 6, 1};
    const auto onStart = [&](const auto& operation) {
        glLoadMatrixf(start.data());
        operation();
        return currentModelView();
    };
    const Matrix4 other{1, 2, 3, 0.5f, -1, 0, 2, 0, 0.25f, 4, -3, 0, 7, 8, -9, 2};
    expectMatrixNear(multiplied(start, other), onStart([&] { glMultMatrixf(other.data()); }),
                     "product");
    expectMatrixNear(multiplied(start, scaleMatrix({2, -3, 0.5f})),
                     onStart([] { glScalef(2, -3, 0.5f); }), "scale");
    expectMatrixNear(multiplied(start, translationMatrix({1.5f, -2, 3})),
                     onStart([] { glTranslatef(1.5f, -2, 3); }), "translation");

    const struct {
        float degrees;
        Vector3 axis;
    } rotations[] = {{37.5f, {1, 2, 3}},
                     {-120, {0, 0, -4}},
                     {286479.14f, {0, 1, 0}},
                     {90, {0, 0, 0}},
                     {45, {0, 0, 5e-5f}}};
    for (const auto& [degrees, axis] : rotations) {
        glLoadIdentity();
        glRotatef(degrees, axis.x, axis.y, axis.z);
        expectMatrixNear(axisRotationMatrix(degrees, axis), currentModelView(), "rotation");
    }
}
