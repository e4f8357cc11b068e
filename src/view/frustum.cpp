#include "view/frustum.h"

#include <cmath>

#include "platform/gl.h"

namespace {

// How each plane combines row 3 of the clip matrix with one other row: row 3 + sign * row.
struct PlaneRows {
    int row;
    float sign;
};

constexpr std::array<PlaneRows, Frustum::PLANE_COUNT> kPlaneRows = {{
    {0, -1.0f},  // right
    {0, 1.0f},   // left
    {1, 1.0f},   // bottom
    {1, -1.0f},  // top
    {2, -1.0f},  // far
    {2, 1.0f},   // near
}};

}  // namespace

void Frustum::extractFrustum() {
    float projection[16];
    float modelView[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelView);
    extractFrustum(projection, modelView);
}

void Frustum::extractFrustum(const float projection[16], const float modelView[16]) {
    float clip[16];
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            float sum = 0;
            for (int k = 0; k < 4; ++k) {
                sum += modelView[4 * i + k] * projection[4 * k + j];
            }
            clip[4 * i + j] = sum;
        }
    }
    for (int index = 0; index < PLANE_COUNT; ++index) {
        const auto [row, sign] = kPlaneRows[index];
        for (int column = 0; column < 4; ++column) {
            planes[index][column] = clip[4 * column + 3] + sign * clip[4 * column + row];
        }
        normalizePlane(index);
    }
}

void Frustum::normalizePlane(int index) {
    auto& plane = planes[index];
    const float length = std::sqrt(plane[0] * plane[0] + plane[1] * plane[1] + plane[2] * plane[2]);
    for (float& value : plane) {
        value /= length;
    }
}

bool Frustum::cubeInFrustum(float x, float y, float z, float size) const {
    // Each corner's value is a*cx + b*cy + c*cz + d; the six products a*cx, b*cy, c*cz of a plane
    // are formed once and shared by the corners.
    const float xs[2] = {x - size, x + size};
    const float ys[2] = {y - size, y + size};
    const float zs[2] = {z - size, z + size};
    for (const auto& plane : planes) {
        const float ax[2] = {plane[0] * xs[0], plane[0] * xs[1]};
        const float by[2] = {plane[1] * ys[0], plane[1] * ys[1]};
        const float cz[2] = {plane[2] * zs[0], plane[2] * zs[1]};
        bool passed = false;
        for (int corner = 0; corner < 8 && !passed; ++corner) {
            // Corner bits: x in bit 0, y in bit 1, z in bit 2, minus before plus.
            passed = ax[corner & 1] + by[(corner >> 1) & 1] + cz[corner >> 2] + plane[3] > 0;
        }
        if (!passed) {
            return false;
        }
    }
    return true;
}
