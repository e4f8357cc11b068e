#include "model/model.h"

namespace {

// Bounds not yet touched by any point.
constexpr float kEmptyMinimum = 999999;
constexpr float kEmptyMaximum = -999999;

}  // namespace

Matrix4 ModelNode::meshMatrix() const {
    const float* m = transform.matrix;
    return {m[0], m[1], m[2], 0, m[3], m[4], m[5], 0, m[6], m[7], m[8], 0, 0, 0, 0, 1};
}

// Scale and rotation stay out: the bounds are those of the mesh as the node places it.
void ModelNode::computeBounds() {
    minBound = {kEmptyMinimum, kEmptyMinimum, kEmptyMinimum};
    maxBound = {kEmptyMaximum, kEmptyMaximum, kEmptyMaximum};
    const Matrix4 matrix = meshMatrix();
    const Vector3 placement = vectorSum(transform.position, transform.offset);
    for (const Vector3& vertex : vertices) {
        Vector3 p = transformPoint(matrix, vertex);
        if (!singleNode) {
            p = vectorSum(placement, p);
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
    for (std::int32_t k = 1; k < nodeCount(); ++k) {
        if (isRootChild(k)) {
            nodes[k].computeBounds();
            maxBound = perAxisMax(maxBound, nodes[k].maxBound);
            minBound = perAxisMin(minBound, nodes[k].minBound);
        }
    }
    centre = midpoint(minBound, maxBound);
}
