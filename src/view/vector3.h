#pragma once
// Three 32-bit floats used as a plain value, and the few operations on it that the camera, the
// model bounds and the ground and model drawing share. Every operation takes its vectors by value
// and returns a new one.

struct Vector3 {
    float x = 0;
    float y = 0;
    float z = 0;

    bool operator==(const Vector3&) const = default;
};

Vector3 crossProduct(Vector3 a, Vector3 b);
float vectorLength(Vector3 v);
Vector3 vectorDifference(Vector3 a, Vector3 b);
// Divides by the length; the zero vector gives non-finite components.
Vector3 normalize(Vector3 v);
// The unit vector of (p2 - p0) x (p1 - p0): the second edge comes first, so a triangle whose
// corners run counter-clockwise for a viewer gets a normal pointing away from that viewer.
Vector3 triangleNormal(const Vector3 triangle[3]);

Vector3 vectorSum(Vector3 a, Vector3 b);
Vector3 scaleVector(Vector3 v, float factor);
// The smaller of the two on each axis; on a tie, the first.
Vector3 perAxisMin(Vector3 a, Vector3 b);
// The larger of the two on each axis; on a tie, the first.
Vector3 perAxisMax(Vector3 a, Vector3 b);
// (a + b) * 0.5 on each axis.
Vector3 midpoint(Vector3 a, Vector3 b);
