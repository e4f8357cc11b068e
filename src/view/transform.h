#pragma once
// 4x4 matrices in the column-major order OpenGL takes, rotation quaternions, the point transform
// that the model bounds and the tests of the drawing share, and the matrices of OpenGL's matrix
// operations for composing transforms on the CPU.

#include <array>

#include "view/vector3.h"

using Matrix4 = std::array<float, 16>;

inline constexpr Matrix4 kIdentityMatrix{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

// w is the scalar part.
struct Quaternion {
    float x;
    float y;
    float z;
    float w;

    bool operator==(const Quaternion&) const = default;
};

// m applied to p without the division by w: x = m[0]px + m[4]py + m[8]pz + m[12], and so on.
Vector3 transformPoint(const Matrix4& m, Vector3 p);

// The rotation matrix of a unit quaternion.
Matrix4 rotationMatrix(Quaternion q);

// a times b: the matrix that applies b to a point first, then a, as glMultMatrixf(b) does on a.
Matrix4 multiplied(const Matrix4& a, const Matrix4& b);

// The matrices that glScalef, glTranslatef and glRotatef multiply onto the current one, as Mesa
// builds them. The rotation turns by `degrees` counter-clockwise about the axis, seen from its
// tip; the axis need not be a unit vector, and one of length near zero turns nothing unless it
// lies along x, y or z.
Matrix4 scaleMatrix(Vector3 scale);
Matrix4 translationMatrix(Vector3 move);
Matrix4 axisRotationMatrix(float degrees, Vector3 axis);
