#include "app/viewer.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/argument_file.h"
#include "app/command_line.h"
#include "app/scene.h"
#include "app/window.h"
#include "io/host_files.h"
#include "platform/frame_memory.h"
#include "platform/gl.h"
#include "platform/platform.h"
#include "text/printable_text.h"
#include "view/frame_timer.h"

#ifndef _WIN32
#include "app/frame_picture.h"
#include "app/screenshot.h"
#include "platform/emulated_win32.h"
#include "platform/headless_host.h"
#endif

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kColourBits = 16;
constexpr char kFirstTitle[] = "ORVALIS";
constexpr char kReopenedTitle[] = "Brannock's OpenGL Framework";
// How long the title tells where a screenshot went.
constexpr std::uint32_t kScreenshotTitleMilliseconds = 3000;

// The title the window had before a screenshot's title, given back a moment later.
struct ScreenshotTitle {
    WindowHandle window = nullptr;  // none: no screenshot's title is up
    std::string previous;
    std::uint32_t shownAt = 0;
};
ScreenshotTitle screenshotTitle;
const char* openedTitle = kFirstTitle;  // what the current window was opened with

bool openViewerWindow(const char* title, bool fullscreen) {
    openedTitle = title;
    return openWindow(title, kWidth, kHeight, kColourBits, fullscreen) != 0;
}

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
    // Meant: renderFrame has swapped already, and the loop swaps once more, so each frame swaps
    // twice, as the viewer always has.
    platform().swapBuffers(app.deviceContext);
    return false;
}

#ifndef _WIN32
// F12 saves the frame on screen; the title says where for a moment. The platform's clock is read
// only while such a title is up.
void handleScreenshotKey(AppState& app) {
    if (takePress(app, win32::VK_F12)) {
        if (screenshotTitle.window != app.window) {
            const std::string title = lastWindowTitle(app.window);
            screenshotTitle.previous = title.empty() ? openedTitle : title;
        }
        setWindowTitle(app.window, "%s", saveScreenshot().c_str());
        screenshotTitle.window = app.window;
        screenshotTitle.shownAt = platform().timeGetTime();
    } else if (screenshotTitle.window != nullptr && screenshotTitle.window == app.window &&
               platform().timeGetTime() - screenshotTitle.shownAt >= kScreenshotTitleMilliseconds) {
        setWindowTitle(app.window, "%s", screenshotTitle.previous.c_str());
        screenshotTitle.window = nullptr;
    }
}
#endif

}  // namespace

bool handleControlKeys() {
    AppState& app = appState();
#ifndef _WIN32
    handleScreenshotKey(app);
#endif
    if (takePress(app, win32::VK_F1)) {
        stopFrameTimer(app.frameTimer);  // the scene loads again: no frames until it is there
        closeWindow();
        app.fullscreen = !app.fullscreen;
        if (!openViewerWindow(kReopenedTitle, app.fullscreen)) {
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
    if (!openViewerWindow(kFirstTitle, fullscreen)) {
        return windowFailureCode;
    }
    putCameraAtStart(app.camera);
    keepFreedMemoryBetweenFrames();
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
void takeCommandLineScene(AppState& app, const CommandLine& line, const Desktop& desktop) {
    app.dataRoot = chooseDataRoot(line, desktop);
    if (line.verbose) {
        std::fprintf(stderr, "orvalis: data root: %s\n", printableText(app.dataRoot).c_str());
        setMissingFileHook(reportMissingFile);
    }
    app.names = {line.scene};
    app.sceneMode = sceneModeOfAnyCase(line.scene);
    app.renderer = line.renderer;
    app.modelLogPath = line.logPath.empty() ? defaultLogPath() : line.logPath;
    if (!app.modelLogPath.empty()) {
        std::error_code ignored;
        std::filesystem::create_directories(std::filesystem::path(app.modelLogPath).parent_path(),
                                            ignored);
    }
}

int showCommandLineScene(const CommandLine& line, const Desktop& desktop) {
    AppState& app = appState();
    takeCommandLineScene(app, line, desktop);
    return showScene(app, !line.windowed, 1);
}

// --output: the scene drawn once on the headless host, as the viewer's first frame shows it (fog
// on, the viewer's projection) at the picture's size, from the start pose or the one given.
int writeScenePicture(const CommandLine& line, [[maybe_unused]] const Desktop& desktop) {
#ifdef _WIN32
    std::fprintf(stderr,
                 "orvalis: %s: not written: --output draws without a window, as only Linux can\n",
                 printableText(line.output).c_str());
    return 1;
#else
    std::error_code error;
    if (std::filesystem::equivalent(line.output, line.scene, error)) {
        std::fprintf(stderr, "orvalis: %s: the picture would replace the scene\n",
                     printableText(line.output).c_str());
        return 2;
    }
    Platform& windowed = platform();
    HeadlessHost host;
    EmulatedWin32 headless(host);
    usePlatform(headless);
    AppState& app = appState();
    takeCommandLineScene(app, line, desktop);
    std::vector<std::uint8_t> png;
    const bool opened = openWindow(kFirstTitle, line.width, line.height, kColourBits, false);
    const bool sceneRead = opened && app.sceneRead;
    if (sceneRead) {
        const Vector3 eye = line.eye.value_or(Vector3{0, 0, 1});
        const Vector3 lookAt = line.lookAt.value_or(Vector3{0, 0, 0});
        app.camera.setCamera(eye.x, eye.y, eye.z, lookAt.x, lookAt.y, lookAt.z, 0, 1, 0);
        renderFrame();
        png = framePng(line.width, line.height);
    }
    if (opened) {
        closeWindow();
    }
    usePlatform(windowed);
    if (!sceneRead) {
        return 1;  // the scene's load has said why
    }
    if (png.empty() || !writePictureFile(line.output, png, "wb")) {
        std::fprintf(stderr, "orvalis: %s: cannot be written\n",
                     printableText(line.output).c_str());
        return 1;
    }
    return 0;
#endif
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
        case CommandLine::Action::writePicture:
            break;
    }
    if (const char* reason = missingSceneReason(line.scene)) {
        std::fprintf(stderr, "orvalis: %s: %s\n", printableText(line.scene).c_str(), reason);
        return 1;
    }
    if (line.action == CommandLine::Action::writePicture) {
        return writeScenePicture(line, desktop);  // needs no display
    }
    if (!desktop.displayReady()) {
        return 1;
    }
    return showCommandLineScene(line, desktop);
}
