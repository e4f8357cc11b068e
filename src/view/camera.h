#pragma once
// The free-fly camera: the mouse turns the view about a fixed screen point, the arrow keys or W, A,
// S, D move it at a fixed speed scaled by the frame time.

#include "view/vector3.h"

class Camera {
  public:
    // Stores eye, look-at point and up vector; `side` is left as it is.
    void setCamera(float eyeX, float eyeY, float eyeZ, float lookX, float lookY, float lookZ,
                   float upX, float upY, float upZ);
    // Once per drawn frame: side vector, mouse look, then the movement keys, which fly for
    // `frameDelta` seconds, the interval the frame timer measured in the frame before. The caller
    // ticks the timer right after.
    void updateCamera(float frameDelta);
    // gluLookAt with eye, look-at point and up vector.
    void applyCamera() const;

    // Rotates lookAt about an axis of unit length through eye; angle in radians.
    void rotateView(float angle, float axisX, float axisY, float axisZ);
    // Moves sideways along `side` in the horizontal plane.
    void strafe(float distance);
    // Moves along the view direction, up and down included.
    void moveForward(float distance);

    Vector3 eye{0, 0, 0};
    Vector3 lookAt{0, 1, 0.5f};
    Vector3 up{0, 0, 1};
    Vector3 side{0, 0, 0};
    // Sum of the vertical mouse turns in radians, clamped to [-1, 1]; setCamera leaves it alone.
    float pitchSum = 0;

  private:
    void mouseLook();
    void readMovementKeys(float frameDelta);
};

inline constexpr int kCursorHomeX = 320;
inline constexpr int kCursorHomeY = 240;
inline constexpr float kMouseTurnPerPixel = 0.002f;
inline constexpr float kFlyingSpeed = 50.0f;
