#include "app/viewer.h"

#include <cstdio>
#include <filesystem>

#include "app/app_state.h"
#include "app/argument_file.h"
#include "app/command_line.h"
#include "app/scene.h"
#include "app/window.h"
#include "io/host_files.h"
#include "platform/gl.h"
#include "platform/platform.h"
#include "text/printable_text.h"
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

namespace {

// Opens the first window, fullscreen or not, and runs the main loop until the program ends. A
// window that cannot be opened, at start or after F1, ends it with `windowFailureCode`.
int showScene(AppState& app, bool fullscreen, int windowFailureCode) {
    app.fullscreen = fullscreen;
    if (!openWindow("ORVALIS", kWidth, kHeight, kColourBits, fullscreen)) {
        return windowFailureCode;
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
            return windowFailureCode;
        }
        if (done) {
            break;
        }
    }
    closeWindow();
    return exitCode;
}

void reportMissingFile(const std::string& hostPath) {
    std::fprintf(stderr, "orvalis: not found: %s\n", printableText(hostPath).c_str());
}

// A note for the user before the scene loads: one line on standard error, and a box when that
// reaches no terminal (the box writes the line itself).
void tellBeforeLoading(const std::string& text, const Desktop& desktop) {
    if (desktop.terminal) {
        writeMessageBoxLine("orvalis", text.c_str());
    } else {
        platform().messageBox(nullptr, text.c_str(), "Orvalis",
                              win32::MB_OK | win32::MB_ICONINFORMATION);
    }
}

// The data root that --data names, else the one found above the scene. When none is found, the
// user is told where the scene's files are looked up instead, and how to name the right place.
std::string chooseDataRoot(const CommandLine& line, const Desktop& desktop) {
    if (!line.dataRoot.empty()) {
        return line.dataRoot;
    }
    if (auto root = dataRootAbove(line.scene)) {
        return *std::move(root);
    }
    std::string root = findDataRoot(line.scene);
    const std::string shown = printableText(root);
    tellBeforeLoading(
        "No folder above " + printableText(line.scene) +
            " holds a data folder.\nTextures and models are looked up in " + shown +
            "/data/texture and " + shown +
            "/data/model.\nTo look elsewhere: --data ROOT, the folder that holds data.",
        desktop);
    return root;
}

// The scene of the command line, its data root and its model log in place of orvalis.arg; the
// log's folder is made if need be (a log that cannot be written is reported by the world reader).
int showCommandLineScene(const CommandLine& line, const Desktop& desktop) {
    AppState& app = appState();
    app.dataRoot = chooseDataRoot(line, desktop);
    if (line.verbose) {
        std::fprintf(stderr, "orvalis: data root: %s\n", printableText(app.dataRoot).c_str());
        setMissingFileHook(reportMissingFile);
    }
    app.names = {line.scene};
    app.sceneMode = sceneModeOfAnyCase(line.scene);
    app.modelLogPath = line.logPath.empty() ? defaultLogPath() : line.logPath;
    if (!app.modelLogPath.empty()) {
        std::error_code ignored;
        std::filesystem::create_directories(std::filesystem::path(app.modelLogPath).parent_path(),
                                            ignored);
    }
    return showScene(app, !line.windowed, 1);
}

// Why the scene file cannot be shown, or nothing when it is a file.
const char* missingSceneReason(const std::string& scene) {
    std::error_code error;
    if (std::filesystem::is_regular_file(scene, error)) {
        return nullptr;
    }
    return std::filesystem::exists(scene, error) ? "not a file" : "no such file";
}

}  // namespace

int runViewer() {
    if (!readArgumentFile()) {
        return 0;
    }
    return showScene(appState(), true, 0);
}

int runCommandLine(std::span<const std::string_view> arguments, const Desktop& desktop) {
    const CommandLine line = parseCommandLine(arguments);
    switch (line.action) {
        case CommandLine::Action::argumentFile:
            return runViewer();
        case CommandLine::Action::help:
            std::fputs(kUsage, stdout);
            return 0;
        case CommandLine::Action::version:
            std::printf("orvalis %s\n", ORVALIS_VERSION);
            return 0;
        case CommandLine::Action::usageError:
            std::fprintf(stderr, "orvalis: %s\n%s", printableText(line.error).c_str(), kUsage);
            return 2;
        case CommandLine::Action::showScene:
            break;
    }
    if (const char* reason = missingSceneReason(line.scene)) {
        std::fprintf(stderr, "orvalis: %s: %s\n", printableText(line.scene).c_str(), reason);
        return 1;
    }
    if (!desktop.displayReady()) {
        return 1;
    }
    return showCommandLineScene(line, desktop);
}
