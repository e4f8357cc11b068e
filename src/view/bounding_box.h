#pragma once
// An axis-aligned box, as its smallest and largest corner.

#include <array>

#include "view/vector3.h"

struct BoundingBox {
    Vector3 min;
    Vector3 max;
};

// The value of the plane a*x + b*y + c*z + d at the corner of `box` that lies furthest along its
// normal (a, b, c), or furthest against it when `along` is false: the box lies wholly on the
// negative side when the first is negative, wholly on the positive side when the second is
// positive.
inline float planeAtFurthestCorner(const std::array<float, 4>& plane, const BoundingBox& box,
                                   bool along) {
    const float x = (plane[0] > 0) == along ? box.max.x : box.min.x;
    const float y = (plane[1] > 0) == along ? box.max.y : box.min.y;
    const float z = (plane[2] > 0) == along ? box.max.z : box.min.z;
    return plane[0] * x + plane[1] * y + plane[2] * z + plane[3];
}
