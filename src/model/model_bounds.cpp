#include <algorithm>

#include "model/model.h"

namespace {

// Bounds not yet touched by any point.
constexpr float kEmptyMinimum = 999999;
constexpr float kEmptyMaximum = -999999;

Vector3 perAxisMin(Vector3 a, Vector3 b) {
    return {std::min(a.x, b.x), std::min(a.y, b.y), std::min(a.z, b.z)};
}

Vector3 perAxisMax(Vector3 a, Vector3 b) {
    return {std::max(a.x, b.x), std::max(a.y, b.y), std::max(a.z, b.z)};
}

Vector3 midpoint(Vector3 a, Vector3 b) {
    return {(a.x + b.x) * 0.5f, (a.y + b.y) * 0.5f, (a.z + b.z) * 0.5f};
}

}  // namespace

Vector3 transformPoint(const Matrix4& m, Vector3 p) {
    return {m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12],
            m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13],
            m[2] * p.x + m[6] * p.y + m[10] * p.z + m[14]};
}

Matrix4 ModelNode::meshMatrix() const {
    const float* m = transform.matrix;
    return {m[0], m[1], m[2], 0, m[3], m[4], m[5], 0, m[6], m[7], m[8], 0, 0, 0, 0, 1};
}

// Scale and rotation stay out: the bounds are those of the mesh as the node places it.
void ModelNode::computeBounds() {
    minBound = {kEmptyMinimum, kEmptyMinimum, kEmptyMinimum};
    maxBound = {kEmptyMaximum, kEmptyMaximum, kEmptyMaximum};
    const Matrix4 matrix = meshMatrix();
    const Vector3& position = transform.position;
    const Vector3& offset = transform.offset;
    for (const Vector3& vertex : vertices) {
        Vector3 p = transformPoint(matrix, vertex);
        if (!singleNode) {
            p = {position.x + offset.x + p.x, position.y + offset.y + p.y,
                 position.z + offset.z + p.z};
        }
        minBound = perAxisMin(minBound, p);
        maxBound = perAxisMax(maxBound, p);
    }
    centre = midpoint(maxBound, minBound);
}

// Only node 0 and the root's direct children count; deeper nodes never widen the bounds.
void Model::computeBounds() {
    nodes[0].computeBounds();
    maxBound = nodes[0].maxBound;
    minBound = nodes[0].minBound;
    for (std::int32_t k = 1; k < nodeCount; ++k) {
        if (isRootChild(k)) {
            nodes[k].computeBounds();
            maxBound = perAxisMax(maxBound, nodes[k].maxBound);
            minBound = perAxisMin(minBound, nodes[k].minBound);
        }
    }
    centre = midpoint(minBound, maxBound);
}
