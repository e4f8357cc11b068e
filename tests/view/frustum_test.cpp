#include "view/frustum.h"

#include <gtest/gtest.h>

#include <cmath>

#include "gl_test.h"

namespace {

constexpr float kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

using Plane = std::array<float, 4>;

float valueAt(const Plane& plane, float x, float y, float z) {
    return plane[0] * x + plane[1] * y + plane[2] * z + plane[3];
}

TEST(FrustumTest, IdentityMatricesGiveTheUnitCubeAndItsCubeTests) {
    Frustum frustum;
    frustum.extractFrustum(kIdentity, kIdentity);
    EXPECT_EQ(frustum.planes[Frustum::PLANE_RIGHT], (Plane{-1, 0, 0, 1}));
    EXPECT_EQ(frustum.planes[Frustum::PLANE_LEFT], (Plane{1, 0, 0, 1}));
    EXPECT_EQ(frustum.planes[Frustum::PLANE_BOTTOM], (Plane{0, 1, 0, 1}));
    EXPECT_EQ(frustum.planes[Frustum::PLANE_TOP], (Plane{0, -1, 0, 1}));
    EXPECT_EQ(frustum.planes[Frustum::PLANE_FAR], (Plane{0, 0, -1, 1}));
    EXPECT_EQ(frustum.planes[Frustum::PLANE_NEAR], (Plane{0, 0, 1, 1}));

    EXPECT_TRUE(frustum.cubeInFrustum(0, 0, 0, 0.5f));
    EXPECT_FALSE(frustum.cubeInFrustum(3, 0, 0, 0.5f));
    // The nearest corners lie exactly on the right plane, which does not count as inside.
    EXPECT_FALSE(frustum.cubeInFrustum(1.5f, 0, 0, 0.5f));
    EXPECT_TRUE(frustum.cubeInFrustum(1.4f, 0, 0, 0.5f));
    EXPECT_TRUE(frustum.cubeInFrustum(0, 0, 0, 50));  // holds the whole view volume
    // Each of the other planes rejects on its own.
    EXPECT_FALSE(frustum.cubeInFrustum(-3, 0, 0, 0.5f));
    EXPECT_FALSE(frustum.cubeInFrustum(0, -3, 0, 0.5f));
    EXPECT_FALSE(frustum.cubeInFrustum(0, 3, 0, 0.5f));
    EXPECT_FALSE(frustum.cubeInFrustum(0, 0, 3, 0.5f));
    EXPECT_FALSE(frustum.cubeInFrustum(0, 0, -3, 0.5f));
    // Outside near an edge of the volume, yet behind no single plane: a needless but allowed yes.
    EXPECT_TRUE(frustum.cubeInFrustum(1.6f, 1.6f, 0, 0.7f));
}

// A perspective with a 90-degree field of view, near 1 and far 100, looking down -z.
TEST(FrustumTest, PerspectivePlanesAreUnitLengthAndGiveSignedDistances) {
    const float n = 1;
    const float f = 100;
    const float projection[16] = {
        1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -(f + n) / (f - n), -1, 0, 0, -2 * f * n / (f - n), 0};
    Frustum frustum;
    frustum.extractFrustum(projection, kIdentity);
    for (const Plane& plane : frustum.planes) {
        EXPECT_NEAR(plane[0] * plane[0] + plane[1] * plane[1] + plane[2] * plane[2], 1, 1e-6);
    }
    EXPECT_NEAR(valueAt(frustum.planes[Frustum::PLANE_NEAR], 0, 0, -50), 49, 1e-3);
    EXPECT_NEAR(valueAt(frustum.planes[Frustum::PLANE_FAR], 0, 0, -50), 50, 1e-3);
    EXPECT_NEAR(valueAt(frustum.planes[Frustum::PLANE_RIGHT], 0, 0, -10), 10 / std::sqrt(2.0f),
                1e-4);
    EXPECT_TRUE(frustum.cubeInFrustum(0, 0, -50, 1));
    EXPECT_FALSE(frustum.cubeInFrustum(0, 0, 0, 0.5f));   // in front of the near plane
    EXPECT_FALSE(frustum.cubeInFrustum(0, 0, -150, 1));   // beyond the far plane
    EXPECT_FALSE(frustum.cubeInFrustum(60, 0, -50, 1));   // right of the view
    EXPECT_FALSE(frustum.cubeInFrustum(0, -60, -50, 1));  // below it
    EXPECT_TRUE(frustum.cubeInFrustum(48, 48, -50, 1));   // just inside a corner
}

using FrustumFromGl = HeadlessGlTest;

TEST_F(FrustumFromGl, PlanesFollowTheModelViewTransform) {
    glTranslatef(10, 0, 0);
    Frustum frustum;
    frustum.extractFrustum();
    EXPECT_TRUE(frustum.cubeInFrustum(-10, 0, 0, 0.5f));
    EXPECT_FALSE(frustum.cubeInFrustum(0, 0, 0, 0.5f));

    // Projection times model-view, not the other way round: looking down -z from (0, 0, 20).
    useIdentityTransforms();
    glMatrixMode(GL_PROJECTION);
    gluPerspective(40, 640.0 / 480.0, 10, 10000);
    glMatrixMode(GL_MODELVIEW);
    gluLookAt(0, 0, 20, 0, 0, 0, 0, 1, 0);
    frustum.extractFrustum();
    EXPECT_TRUE(frustum.cubeInFrustum(0, 0, 0, 1));
    EXPECT_FALSE(frustum.cubeInFrustum(0, 0, 15, 1));    // closer than the near plane
    EXPECT_FALSE(frustum.cubeInFrustum(0, 0, 40, 1));    // behind the eye
    EXPECT_FALSE(frustum.cubeInFrustum(0, 20, -20, 1));  // above: 20 up at 40 away is > 20 deg
    EXPECT_TRUE(frustum.cubeInFrustum(0, 12, -20, 1));   // 12 up at 40 away is < 20 deg
}

}  // namespace
