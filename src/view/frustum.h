#pragma once
// The six clip planes of the view volume, used to skip ground cells that lie wholly outside it. The
// planes come out in the frame of the model-view matrix current at extraction, so a caller extracts
// them after its own transforms and then tests its own untransformed coordinates.

#include <array>

class Frustum {
  public:
    enum Plane {
        PLANE_RIGHT,
        PLANE_LEFT,
        PLANE_BOTTOM,
        PLANE_TOP,
        PLANE_FAR,
        PLANE_NEAR,
        PLANE_COUNT
    };

    // Extracts the planes from the current GL projection and model-view matrices.
    void extractFrustum();
    // The same from the two matrices given in GL's column-major order.
    void extractFrustum(const float projection[16], const float modelView[16]);

    // Whether the cube centred at (x, y, z) with half-edge `size` may be visible: false only when
    // all eight corners lie behind one plane (a corner on the plane does not count as in front).
    bool cubeInFrustum(float x, float y, float z, float size) const;

    // Each plane is a, b, c, d with (a, b, c) of unit length: a*x + b*y + c*z + d > 0 is inside,
    // and its value is the signed distance from the plane.
    std::array<std::array<float, 4>, PLANE_COUNT> planes{};

  private:
    void normalizePlane(int index);
};
