#pragma once
// An axis-aligned box, as its smallest and largest corner.

#include "view/vector3.h"

struct BoundingBox {
    Vector3 min;
    Vector3 max;
};
