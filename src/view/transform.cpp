#include "view/transform.h"

#include <cmath>
#include <numbers>
#include <optional>

Vector3 transformPoint(const Matrix4& m, Vector3 p) {
    return {m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12],
            m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13],
            m[2] * p.x + m[6] * p.y + m[10] * p.z + m[14]};
}

Matrix4 rotationMatrix(Quaternion q) {
    const float x = q.x, y = q.y, z = q.z, w = q.w;
    return {1 - 2 * (y * y + z * z),
            2 * (x * y + w * z),
            2 * (x * z - w * y),
            0,
            2 * (x * y - w * z),
            1 - 2 * (x * x + z * z),
            2 * (y * z + w * x),
            0,
            2 * (x * z + w * y),
            2 * (y * z - w * x),
            1 - 2 * (x * x + y * y),
            0,
            0,
            0,
            0,
            1};
}

Matrix4 multiplied(const Matrix4& a, const Matrix4& b) {
    Matrix4 product{};
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 4; ++row) {
            float sum = 0;
            for (int k = 0; k < 4; ++k) {
                sum += a[k * 4 + row] * b[column * 4 + k];
            }
            product[column * 4 + row] = sum;
        }
    }
    return product;
}

Matrix4 scaleMatrix(Vector3 scale) {
    return {scale.x, 0, 0, 0, 0, scale.y, 0, 0, 0, 0, scale.z, 0, 0, 0, 0, 1};
}

Matrix4 translationMatrix(Vector3 move) {
    return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, move.x, move.y, move.z, 1};
}

namespace {

float signOf(float value) {
    return static_cast<float>((value > 0) - (value < 0));
}

// The unit axis that Mesa's glRotatef turns about: an axis along x, y or z whatever its length,
// any other axis normalised, or none when that axis is 1e-4 long or less.
std::optional<Vector3> rotationUnitAxis(Vector3 axis) {
    const int zeros = (axis.x == 0) + (axis.y == 0) + (axis.z == 0);
    if (zeros == 2) {
        return Vector3{signOf(axis.x), signOf(axis.y), signOf(axis.z)};
    }
    if (vectorLength(axis) <= 1e-4f) {
        return std::nullopt;
    }
    return normalize(axis);
}

}  // namespace

// The angle goes to sine and cosine in single precision, as in Mesa.
Matrix4 axisRotationMatrix(float degrees, Vector3 axis) {
    const std::optional<Vector3> unit = rotationUnitAxis(axis);
    if (!unit) {
        return kIdentityMatrix;
    }
    const float x = unit->x, y = unit->y, z = unit->z;
    const auto radians = static_cast<float>(static_cast<double>(degrees) * std::numbers::pi / 180);
    const float s = std::sin(radians);
    const float c = std::cos(radians);
    const float t = 1 - c;
    return {t * x * x + c,
            t * x * y + s * z,
            t * x * z - s * y,
            0,
            t * x * y - s * z,
            t * y * y + c,
            t * y * z + s * x,
            0,
            t * x * z + s * y,
            t * y * z - s * x,
            t * z * z + c,
            0,
            0,
            0,
            0,
            1};
}
