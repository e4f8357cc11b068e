#include "ground/ground.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kCellSize = 10;
constexpr float kTestCubeHalfEdge = 20;

// Rotation by +90 degrees about x, column-major: ground-local (x, y, h) goes to (x, -h, y), so the
// grid lies in the caller's x-z plane and a larger height lies lower.
constexpr GLfloat kGridToCaller[16] = {1, 0, 0, 0, 0, 0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1};

void drawQuad(const GroundQuad& quad) {
    glBindTexture(GL_TEXTURE_2D, quad.texture);
    glBegin(GL_QUADS);
    const Vector3 normal = quadNormal(quad);
    glNormal3f(normal.x, normal.y, normal.z);
    for (int k = 0; k < 4; ++k) {
        const int pair = kQuadTexturePairs[k];
        glTexCoord2f(quad.surface->u[pair], quad.surface->v[pair]);
        const Vector3& corner = quad.corners[k];
        glVertex3f(corner.x, corner.y, corner.z);
    }
    glEnd();
}

// The surface and texture of a quad, or false when the index is -1 (no quad) or the surface or
// texture index is out of range.
bool resolveSurface(const Ground& ground, std::int32_t index, GroundQuad& quad) {
    if (index < 0 || static_cast<std::size_t>(index) >= ground.surfaces.size()) {
        return false;
    }
    const GroundSurface& surface = ground.surfaces[static_cast<std::size_t>(index)];
    if (surface.textureIndex >= ground.textures.size()) {
        return false;
    }
    quad.surface = &surface;
    quad.texture = ground.textures[surface.textureIndex];
    return true;
}

}  // namespace

Vector3 quadNormal(const GroundQuad& quad) {
    const Vector3 triangle[3] = {quad.corners[0], quad.corners[3], quad.corners[2]};
    return triangleNormal(triangle);
}

void Ground::drawGround() const {
    glPushMatrix();
    placeGrid();
    Frustum frustum;
    frustum.extractFrustum();  // in ground-local coordinates, both transforms being applied
    const bool any = hasCells();
    for (int row = 0; any && row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            if (!cellInFrustum(frustum, row, column)) {
                continue;
            }
            GroundQuad quads[3];
            const int count = cellQuads(row, column, quads);
            for (int q = 0; q < count; ++q) {
                drawQuad(quads[q]);
            }
        }
    }
    glPopMatrix();
}

void Ground::placeGrid() const {
    glMultMatrixf(kGridToCaller);
    glTranslatef(-0.5f * kCellSize * width, -0.5f * kCellSize * height, 0);
}

BoundingBox Ground::extent() const {
    if (!hasCells()) {
        return {};
    }
    float lowest = 0;  // the smallest and largest height
    float highest = 0;
    bool anyHeight = false;
    for (const GroundCell& cell : cells) {
        for (const float h : cell.heights) {
            if (std::isfinite(h)) {
                lowest = anyHeight ? std::min(lowest, h) : h;
                highest = anyHeight ? std::max(highest, h) : h;
                anyHeight = true;
            }
        }
    }
    const float halfWidth = 0.5f * kCellSize * static_cast<float>(width);
    const float halfDepth = 0.5f * kCellSize * static_cast<float>(height);
    return {{-halfWidth, -highest, -halfDepth}, {halfWidth, -lowest, halfDepth}};
}

bool Ground::cellInFrustum(const Frustum& frustum, int row, int column) const {
    return frustum.cubeInFrustum(column * kCellSize, (row + 1) * kCellSize,
                                 cellAt(row, column).heights[0], kTestCubeHalfEdge);
}

int Ground::cellQuads(int row, int column, GroundQuad quads[3]) const {
    const GroundCell& cell = cellAt(row, column);
    const float* h = cell.heights;
    const float x0 = column * kCellSize;
    const float x1 = (column + 1) * kCellSize;
    const float y0 = row * kCellSize;
    const float y1 = (row + 1) * kCellSize;
    int count = 0;
    // A wall joins the cell to its neighbour; in the last row or column there is none to join.
    if (row + 1 < height && resolveSurface(*this, cell.rowWallSurface, quads[count])) {
        const float* next = cellAt(row + 1, column).heights;
        quads[count++].corners = {
            {{x0, y1, h[2]}, {x1, y1, h[3]}, {x1, y1, next[1]}, {x0, y1, next[0]}}};
    }
    if (column + 1 < width && resolveSurface(*this, cell.columnWallSurface, quads[count])) {
        const float* next = cellAt(row, column + 1).heights;
        quads[count++].corners = {
            {{x1, y1, h[3]}, {x1, y0, h[1]}, {x1, y0, next[0]}, {x1, y1, next[2]}}};
    }
    if (resolveSurface(*this, cell.topSurface, quads[count])) {
        quads[count++].corners = {{{x0, y0, h[0]}, {x1, y0, h[1]}, {x1, y1, h[3]}, {x0, y1, h[2]}}};
    }
    return count;
}
