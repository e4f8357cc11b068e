#include "view/vector3.h"

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
