#include "app/viewer.h"

#include "app/app_state.h"
#include "app/argument_file.h"
#include "app/scene.h"
#include "app/window.h"
#include "platform/gl.h"
#include "platform/platform.h"
#include "view/frame_timer.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kColourBits = 16;

void putCameraAtStart(Camera& camera) {
    camera.setCamera(0, 0, 1, 0, 0, 0, 0, 1, 0);
}

// Takes a waiting press of a control key, so each press acts once.
bool takePress(AppState& app, int virtualKey) {
    if (!app.pendingPresses.test(virtualKey)) {
        return false;
    }
    app.pendingPresses.reset(virtualKey);
    return true;
}

// Draws a frame while the window is active; true when Esc asks to end. While it is minimised no
// frame is drawn, and that time is no frame's.
bool drawOrNoticeEscape(AppState& app) {
    if (!app.active) {
        stopFrameTimer(app.frameTimer);
        return false;
    }
    if (takePress(app, win32::VK_ESCAPE)) {
        return true;
    }
    resumeFrameTimer(app.frameTimer);
    app.camera.updateCamera(app.frameTimer.frameDelta);
    tickFrameTimer(app.frameTimer);
    renderFrame();
    platform().swapBuffers(app.deviceContext);
    return false;
}

}  // namespace

bool handleControlKeys() {
    AppState& app = appState();
    if (takePress(app, win32::VK_F1)) {
        stopFrameTimer(app.frameTimer);  // the scene loads again: no frames until it is there
        closeWindow();
        app.fullscreen = !app.fullscreen;
        if (!openWindow("Brannock's OpenGL Framework", kWidth, kHeight, kColourBits,
                        app.fullscreen)) {
            return false;
        }
    }
    if (takePress(app, win32::VK_F2)) {
        if (app.fogToggle) {
            glEnable(GL_FOG);
        } else {
            glDisable(GL_FOG);
        }
        app.fogToggle = !app.fogToggle;
    }
    if (takePress(app, win32::VK_F3)) {
        putCameraAtStart(app.camera);
    }
    return true;
}

int runViewer() {
    if (!readArgumentFile()) {
        return 0;
    }
    AppState& app = appState();
    app.fullscreen = true;
    if (!openWindow("ORVALIS", kWidth, kHeight, kColourBits, true)) {
        return 0;
    }
    putCameraAtStart(app.camera);
    stopFrameTimer(app.frameTimer);  // the first frame starts the clock, whatever the set-up took

    WindowMessage message;
    int exitCode = 0;
    for (;;) {
        if (platform().peekMessage(message)) {
            if (message.message == win32::WM_QUIT) {
                exitCode = static_cast<int>(message.wParam);
                break;
            }
            platform().translateMessage(message);
            platform().dispatchMessage(message);
            continue;
        }
        const bool done = drawOrNoticeEscape(app);
        if (!handleControlKeys()) {
            return 0;
        }
        if (done) {
            break;
        }
    }
    closeWindow();
    return exitCode;
}
