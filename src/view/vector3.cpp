#include "view/vector3.h"

#include <algorithm>
#include <cmath>

Vector3 crossProduct(Vector3 a, Vector3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

float vectorLength(Vector3 v) {
    return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
}

Vector3 vectorDifference(Vector3 a, Vector3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

Vector3 normalize(Vector3 v) {
    const float length = vectorLength(v);
    return {v.x / length, v.y / length, v.z / length};
}

Vector3 triangleNormal(const Vector3 triangle[3]) {
    return normalize(crossProduct(vectorDifference(triangle[2], triangle[0]),
                                  vectorDifference(triangle[1], triangle[0])));
}

Vector3 vectorSum(Vector3 a, Vector3 b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}

Vector3 scaleVector(Vector3 v, float factor) {
    return {v.x * factor, v.y * factor, v.z * factor};
}

Vector3 perAxisMin(Vector3 a, Vector3 b) {
    return {std::min(a.x, b.x), std::min(a.y, b.y), std::min(a.z, b.z)};
}

Vector3 perAxisMax(Vector3 a, Vector3 b) {
    return {std::max(a.x, b.x), std::max(a.y, b.y), std::max(a.z, b.z)};
}

Vector3 midpoint(Vector3 a, Vector3 b) {
    return {(a.x + b.x) * 0.5f, (a.y + b.y) * 0.5f, (a.z + b.z) * 0.5f};
}
