#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "gl_test.h"
#include "ground/ground.h"
#include "ground_scratch.h"

namespace {

// One quad as GL received it, in caller coordinates, with its texture coordinates.
struct SentVertex {
    Vector3 point;
    float s, t;
};
using SentQuad = std::array<SentVertex, 4>;

// Back from window to caller coordinates, with the identity model-view of these tests.
SentVertex unproject(const FeedbackVertex& vertex) {
    GLdouble modelView[16];
    GLdouble projection[16];
    GLint viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    GLdouble x, y, z;
    gluUnProject(vertex.x, vertex.y, vertex.z, modelView, projection, viewport, &x, &y, &z);
    return {
        {static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)}, vertex.s, vertex.t};
}

// The quads that `draw` sends, in order. GL may hand a quad on whole or as the two triangles
// (v0, v1, v3) and (v1, v2, v3).
std::vector<SentQuad> recordQuads(const std::function<void()>& draw) {
    const auto polygons = recordFeedback(draw);
    std::vector<SentQuad> quads;
    for (std::size_t p = 0; p < polygons.size(); ++p) {
        const FeedbackPolygon& polygon = polygons[p];
        if (polygon.size() == 4) {
            quads.push_back({unproject(polygon[0]), unproject(polygon[1]), unproject(polygon[2]),
                             unproject(polygon[3])});
        } else if (polygon.size() == 3 && p + 1 < polygons.size()) {
            const FeedbackPolygon& second = polygons[++p];
            quads.push_back({unproject(polygon[0]), unproject(polygon[1]), unproject(second[1]),
                             unproject(polygon[2])});
        } else {
            ADD_FAILURE() << "unexpected polygon of " << polygon.size() << " vertices";
        }
    }
    return quads;
}

// Ground-local (x, y, height) in the caller's frame for a ground of width x height cells.
Vector3 callerPoint(float x, float y, float h, int width, int height) {
    return {x - 5.0f * width, -h, y - 5.0f * height};
}

void expectQuad(const SentQuad& quad, const std::array<Vector3, 4>& callerCorners,
                const GroundSurface& surface) {
    constexpr int kPairs[4] = {0, 1, 3, 2};
    for (int k = 0; k < 4; ++k) {
        SCOPED_TRACE(k);
        EXPECT_NEAR(quad[k].point.x, callerCorners[k].x, 1e-3);
        EXPECT_NEAR(quad[k].point.y, callerCorners[k].y, 1e-3);
        EXPECT_NEAR(quad[k].point.z, callerCorners[k].z, 1e-3);
        EXPECT_FLOAT_EQ(quad[k].s, surface.u[kPairs[k]]);
        EXPECT_FLOAT_EQ(quad[k].t, surface.v[kPairs[k]]);
    }
}

GroundSurface distinctSurface(float base, std::uint16_t textureIndex) {
    return {{base, base + 0.1f, base + 0.2f, base + 0.3f},
            {base + 0.4f, base + 0.5f, base + 0.6f, base + 0.7f},
            textureIndex,
            {}};
}

class GroundDrawing : public HeadlessGlTest {
  protected:
    void SetUp() override {
        HeadlessGlTest::SetUp();
        glMatrixMode(GL_PROJECTION);
        glOrtho(-50, 50, -50, 50, -100, 100);
        glMatrixMode(GL_MODELVIEW);
    }
};

TEST_F(GroundDrawing, TwoByOneGroundSendsItsQuadsInOrder) {
    GroundFile file;
    file.width = 2;
    file.height = 1;
    file.textureNames = {"first.bmp", "second.bmp"};
    file.surfaces = {distinctSurface(0.0f, 0), distinctSurface(1.0f, 1)};
    // Cell 0: a row wall in the last row (not drawn), a column wall and a top. Cell 1: a column
    // wall in the last column (not drawn) and a top.
    file.cells = {{{1, 2, 3, 4}, 0, 1, 1}, {{5, 6, 7, 8}, 1, -1, 0}};
    Ground ground;
    ASSERT_TRUE(writeAndRead(ground, file, ScratchFolder().path(), "two.gnd"));

    const auto quads = recordQuads([&] { ground.drawGround(); });
    ASSERT_EQ(quads.size(), 3u);
    const auto at = [](float x, float y, float h) { return callerPoint(x, y, h, 2, 1); };
    // Column wall of cell 0 at x = 10: its h3 and h1, then cell 1's h0 and h2.
    expectQuad(quads[0], {at(10, 10, 4), at(10, 0, 2), at(10, 0, 5), at(10, 10, 7)},
               file.surfaces[1]);
    expectQuad(quads[1], {at(0, 0, 1), at(10, 0, 2), at(10, 10, 4), at(0, 10, 3)},
               file.surfaces[0]);
    expectQuad(quads[2], {at(10, 0, 5), at(20, 0, 6), at(20, 10, 8), at(10, 10, 7)},
               file.surfaces[1]);

    // The last quad's texture is bound and its normal, from corners 1, 4 and 3, is current.
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), ground.textures[1]);
    GLfloat normal[4];
    glGetFloatv(GL_CURRENT_NORMAL, normal);
    const Vector3 expected = normalize({-10, -20, 100});
    EXPECT_NEAR(normal[0], expected.x, 1e-5);
    EXPECT_NEAR(normal[1], expected.y, 1e-5);
    EXPECT_NEAR(normal[2], expected.z, 1e-5);
}

TEST_F(GroundDrawing, FourByTwoGroundIsCentredWithHeightsDownward) {
    GroundFile file = flatGround(4, 2, "t.bmp");
    for (std::size_t i = 0; i < file.cells.size(); ++i) {
        file.cells[i] = flatCell(static_cast<float>(i), 0);
    }
    Ground ground;
    ASSERT_TRUE(writeAndRead(ground, file, ScratchFolder().path(), "four.gnd"));

    const auto quads = recordQuads([&] { ground.drawGround(); });
    ASSERT_EQ(quads.size(), 8u);
    float minX = 1e9f, maxX = -1e9f, minZ = 1e9f, maxZ = -1e9f;
    for (std::size_t q = 0; q < quads.size(); ++q) {
        for (const SentVertex& vertex : quads[q]) {
            minX = std::min(minX, vertex.point.x);
            maxX = std::max(maxX, vertex.point.x);
            minZ = std::min(minZ, vertex.point.z);
            maxZ = std::max(maxZ, vertex.point.z);
            EXPECT_NEAR(vertex.point.y, -static_cast<float>(q), 1e-3);
        }
    }
    EXPECT_NEAR(minX, -20, 1e-3);
    EXPECT_NEAR(maxX, 20, 1e-3);
    EXPECT_NEAR(minZ, -10, 1e-3);
    EXPECT_NEAR(maxZ, 10, 1e-3);
    // Row 0, column 0 is the corner of smallest x and z.
    EXPECT_NEAR(quads[0][0].point.x, -20, 1e-3);
    EXPECT_NEAR(quads[0][0].point.z, -10, 1e-3);
}

TEST_F(GroundDrawing, CellWhoseTestCubeIsOutsideIsSkippedBesideDrawnNeighbours) {
    GroundFile file = flatGround(3, 1, "t.bmp");
    // The middle cell's h0 lies far below the view; its other corners, and so part of its top,
    // are in it. The test cube around h0 decides.
    file.cells[1].heights[0] = 1000;
    Ground ground;
    ASSERT_TRUE(writeAndRead(ground, file, ScratchFolder().path(), "three.gnd"));

    const auto quads = recordQuads([&] { ground.drawGround(); });
    ASSERT_EQ(quads.size(), 2u);
    EXPECT_NEAR(quads[0][0].point.x, -15, 1e-3);
    EXPECT_NEAR(quads[1][0].point.x, 5, 1e-3);
}

TEST_F(GroundDrawing, LeavesTheCallersMatrixAsFound) {
    Ground ground;
    ASSERT_TRUE(
        writeAndRead(ground, terracedGround(6, 4, {"t.bmp"}), ScratchFolder().path(), "t.gnd"));
    const Ground unread;
    glTranslatef(1, 2, 3);
    glRotatef(30, 0, 1, 0);
    GLfloat before[16];
    GLint depthBefore = 0;
    glGetFloatv(GL_MODELVIEW_MATRIX, before);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthBefore);
    EXPECT_TRUE(recordFeedback([&] { unread.drawGround(); }).empty());
    EXPECT_FALSE(recordFeedback([&] { ground.drawGround(); }).empty());
    GLfloat after[16];
    GLint depthAfter = 0;
    glGetFloatv(GL_MODELVIEW_MATRIX, after);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthAfter);
    EXPECT_TRUE(std::equal(before, before + 16, after));
    EXPECT_EQ(depthAfter, depthBefore);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
