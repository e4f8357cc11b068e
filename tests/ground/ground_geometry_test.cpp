#include <gtest/gtest.h>

#include "formats/ground_writer.h"
#include "ground/ground.h"

namespace {

// A ground set up field by field; GL texture names are plain numbers here.
Ground groundOf(std::int32_t width, std::int32_t height, std::vector<GroundCell> cells,
                std::vector<GroundSurface> surfaces, std::vector<GLuint> textures) {
    Ground ground;
    ground.width = width;
    ground.height = height;
    ground.cells = std::move(cells);
    ground.surfaces = std::move(surfaces);
    ground.textures = std::move(textures);
    return ground;
}

void expectVector(Vector3 actual, Vector3 expected) {
    EXPECT_NEAR(actual.x, expected.x, 1e-6);
    EXPECT_NEAR(actual.y, expected.y, 1e-6);
    EXPECT_NEAR(actual.z, expected.z, 1e-6);
}

TEST(GroundGeometryTest, WallsJoinTheNeighboursAndNormalsFollowTheCornerRule) {
    // Cell (0, 0) at height 0 with all three quads; its neighbours at height 5.
    const Ground ground =
        groundOf(2, 2, {flatCell(0, 0, 0, 0), flatCell(5, -1), flatCell(5, -1), flatCell(5, -1)},
                 {wholeTextureSurface(0)}, {42});
    GroundQuad quads[3];
    ASSERT_EQ(ground.cellQuads(0, 0, quads), 3);
    // Row wall at y = 10, from this cell's h2 and h3 down to the next row's h1 and h0.
    EXPECT_FLOAT_EQ(quads[0].corners[2].z, 5);
    EXPECT_FLOAT_EQ(quads[0].corners[1].y, 10);
    expectVector(quadNormal(quads[0]), {0, -1, 0});
    // Column wall at x = 10.
    EXPECT_FLOAT_EQ(quads[1].corners[3].z, 5);
    EXPECT_FLOAT_EQ(quads[1].corners[0].x, 10);
    expectVector(quadNormal(quads[1]), {-1, 0, 0});
    expectVector(quadNormal(quads[2]), {0, 0, 1});
    EXPECT_EQ(quads[2].texture, 42u);
    EXPECT_EQ(quads[2].surface, &ground.surfaces[0]);
}

TEST(GroundGeometryTest, EachCornerTakesItsOwnHeight) {
    // Every height differs, so a corner that took any other height would show.
    std::vector<GroundCell> cells(4, flatCell(0, 0, 0, 0));
    for (std::size_t cell = 0; cell < cells.size(); ++cell) {
        for (int corner = 0; corner < 4; ++corner) {
            cells[cell].heights[corner] = static_cast<float>(10 * (cell + 1) + corner);
        }
    }
    const Ground ground = groundOf(2, 2, cells, {wholeTextureSurface(0)}, {1});
    GroundQuad quads[3];
    ASSERT_EQ(ground.cellQuads(0, 0, quads), 3);
    const Vector3 expected[3][4] = {
        // Row wall: this cell's far edge (h2, h3), then the next row's near edge (h1, h0).
        {{0, 10, 12}, {10, 10, 13}, {10, 10, 31}, {0, 10, 30}},
        // Column wall: this cell's right edge (h3, h1), then the next column's left edge (h0, h2).
        {{10, 10, 13}, {10, 0, 11}, {10, 0, 20}, {10, 10, 22}},
        // Top: h0, h1, h3, h2.
        {{0, 0, 10}, {10, 0, 11}, {10, 10, 13}, {0, 10, 12}},
    };
    for (int q = 0; q < 3; ++q) {
        for (int k = 0; k < 4; ++k) {
            SCOPED_TRACE(testing::Message() << "quad " << q << ", corner " << k);
            expectVector(quads[q].corners[k], expected[q][k]);
        }
    }
}

TEST(GroundGeometryTest, QuadsWithoutAValidSurfaceOrNeighbourAreLeftOut) {
    GroundSurface badTexture = wholeTextureSurface(2);  // only textures 0 and 1 exist
    const Ground ground =
        groundOf(3, 2,
                 {flatCell(0, -1, -1, -1), flatCell(0, 2, -2, 3), flatCell(0, 1, 0, 0),  // row 0
                  flatCell(0, 0, 0, 1), flatCell(0, 0, 1, 0), flatCell(0, -1, -1, 0)},   // row 1
                 {wholeTextureSurface(0), wholeTextureSurface(1), badTexture}, {7, 8});
    GroundQuad quads[3];
    EXPECT_EQ(ground.cellQuads(0, 0, quads), 0);  // no surfaces
    EXPECT_EQ(ground.cellQuads(0, 1, quads), 0);  // bad texture index, -2, index 3 of 3
    ASSERT_EQ(ground.cellQuads(0, 2, quads), 2);  // last column: no column wall
    EXPECT_EQ(quads[0].corners[0].y, 10);         // the row wall
    EXPECT_EQ(quads[1].texture, 8u);              // the top
    EXPECT_EQ(ground.cellQuads(1, 0, quads), 2);  // last row: no row wall
    EXPECT_EQ(ground.cellQuads(1, 2, quads), 0);  // last row and column: no walls
}

TEST(GroundGeometryTest, CellTestCubeSurroundsCornerX0Y1AtHeightH0) {
    std::vector<GroundCell> cells(36, flatCell(0, 0));
    cells[6 * 0 + 1].heights[0] = 44;
    cells[6 * 0 + 2].heights[0] = 45;
    cells[6 * 0 + 2].heights[3] = 0;
    const Ground ground = groundOf(6, 6, cells, {wholeTextureSurface(0)}, {1});
    Frustum frustum;
    for (auto& plane : frustum.planes) {
        plane = {0, 0, 0, 1};  // passes everything
    }
    // Inside means x < 25, y < 25 and height < 25; the cube reaches 20 from its centre.
    frustum.planes[Frustum::PLANE_RIGHT] = {-1, 0, 0, 25};
    frustum.planes[Frustum::PLANE_TOP] = {0, -1, 0, 25};
    frustum.planes[Frustum::PLANE_FAR] = {0, 0, -1, 25};
    EXPECT_TRUE(ground.cellInFrustum(frustum, 0, 4));   // x0 = 40: reaches down to 20
    EXPECT_FALSE(ground.cellInFrustum(frustum, 0, 5));  // x0 = 50: nothing below 30
    EXPECT_TRUE(ground.cellInFrustum(frustum, 3, 0));   // y1 = 40
    EXPECT_FALSE(ground.cellInFrustum(frustum, 4, 0));  // y1 = 50, though y0 = 40
    EXPECT_TRUE(ground.cellInFrustum(frustum, 0, 1));   // h0 = 44
    EXPECT_FALSE(ground.cellInFrustum(frustum, 0, 2));  // h0 = 45, whatever the other heights
}

}  // namespace
