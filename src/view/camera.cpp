#include "view/camera.h"

#include <cmath>

#include "platform/gl.h"
#include "platform/platform.h"

namespace {

bool keyHeld(int virtualKey) {
    return (platform().getKeyState(virtualKey) & 0x80) != 0;
}

}  // namespace

void Camera::setCamera(float eyeX, float eyeY, float eyeZ, float lookX, float lookY, float lookZ,
                       float upX, float upY, float upZ) {
    eye = {eyeX, eyeY, eyeZ};
    lookAt = {lookX, lookY, lookZ};
    up = {upX, upY, upZ};
}

void Camera::updateCamera(float frameDelta) {
    side = normalize(crossProduct(vectorDifference(lookAt, eye), up));
    mouseLook();
    readMovementKeys(frameDelta);
}

void Camera::applyCamera() const {
    gluLookAt(eye.x, eye.y, eye.z, lookAt.x, lookAt.y, lookAt.z, up.x, up.y, up.z);
}

void Camera::mouseLook() {
    CursorPoint cursor;
    platform().getCursorPos(cursor);
    if (cursor.x == kCursorHomeX && cursor.y == kCursorHomeY) {
        return;
    }
    // Meant: the pointer is pulled back to one fixed screen point, wherever the window stands, so
    // each frame's move is measured from there, and it never reaches the screen's edge.
    platform().setCursorPos(kCursorHomeX, kCursorHomeY);
    const float yaw = static_cast<float>(kCursorHomeX - cursor.x) * kMouseTurnPerPixel;
    const float pitch = static_cast<float>(kCursorHomeY - cursor.y) * kMouseTurnPerPixel;

    // A turn that would carry the sum past a bound tilts by nothing in this frame.
    pitchSum -= pitch;
    if (pitchSum > 1) {
        pitchSum = 1;
    } else if (pitchSum < -1) {
        pitchSum = -1;
    } else {
        const Vector3 axis = normalize(crossProduct(vectorDifference(lookAt, eye), up));
        rotateView(pitch, axis.x, axis.y, axis.z);
    }
    rotateView(yaw, 0, 1, 0);
}

void Camera::rotateView(float angle, float x, float y, float z) {
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    const float t = 1 - c;
    const Vector3 v = vectorDifference(lookAt, eye);
    const Vector3 turned{
        (t * x * x + c) * v.x + (t * x * y - s * z) * v.y + (t * x * z + s * y) * v.z,
        (t * x * y + s * z) * v.x + (t * y * y + c) * v.y + (t * y * z - s * x) * v.z,
        (t * x * z - s * y) * v.x + (t * y * z + s * x) * v.y + (t * z * z + c) * v.z};
    lookAt = vectorSum(eye, turned);
}

void Camera::strafe(float distance) {
    eye.x += distance * side.x;
    eye.z += distance * side.z;
    lookAt.x += distance * side.x;
    lookAt.z += distance * side.z;
}

void Camera::moveForward(float distance) {
    const Vector3 step = scaleVector(normalize(vectorDifference(lookAt, eye)), distance);
    eye = vectorSum(eye, step);
    lookAt = vectorSum(lookAt, step);
}

void Camera::readMovementKeys(float frameDelta) {
    const float speed = frameDelta * kFlyingSpeed;
    if (keyHeld(win32::VK_UP) || keyHeld('W')) {
        moveForward(speed);
    }
    if (keyHeld(win32::VK_DOWN) || keyHeld('S')) {
        moveForward(-speed);
    }
    if (keyHeld(win32::VK_LEFT) || keyHeld('A')) {
        strafe(-speed);
    }
    if (keyHeld(win32::VK_RIGHT) || keyHeld('D')) {
        strafe(speed);
    }
}
