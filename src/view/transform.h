#pragma once
// 4x4 matrices in the column-major order OpenGL takes, rotation quaternions, and the point
// transform that the model bounds and the tests of the drawing share.

#include <array>

#include "view/vector3.h"

using Matrix4 = std::array<float, 16>;

// w is the scalar part.
struct Quaternion {
    float x;
    float y;
    float z;
    float w;
};

// m applied to p without the division by w: x = m[0]px + m[4]py + m[8]pz + m[12], and so on.
Vector3 transformPoint(const Matrix4& m, Vector3 p);

// The rotation matrix of a unit quaternion.
Matrix4 rotationMatrix(Quaternion q);
