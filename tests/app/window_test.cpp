#include <gtest/gtest.h>

#include "app/window.h"
#include "platform/gl.h"
#include "shell_test.h"

namespace {

using WindowTest = ShellTest;
constexpr std::uint32_t kOpenStyle = win32::MB_OK | win32::MB_ICONEXCLAMATION;
constexpr std::uint32_t kShutdownStyle = win32::MB_OK | win32::MB_ICONINFORMATION;

TEST_F(WindowTest, OpensReadyWithViewportProjectionAndScene) {
    useGroundScene();
    ASSERT_EQ(openWindow("ORVALIS", 640, 480, 16, true), 1);
    EXPECT_TRUE(appState().fullscreen);
    EXPECT_TRUE(headless.displayModeChanged());
    EXPECT_EQ(headless.cursorVisibility, -1);
    EXPECT_EQ(headless.windowTitle(appState().window), "ORVALIS");
    EXPECT_EQ(headless.getFocus(), appState().window);
    EXPECT_EQ(appState().ground.width, 2);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 640);
    EXPECT_EQ(viewport[3], 480);
    EXPECT_TRUE(headless.messageBoxes.empty());

    closeWindow();
    EXPECT_FALSE(headless.displayModeChanged());
    EXPECT_EQ(headless.cursorVisibility, 0);
    EXPECT_EQ(headless.liveWindowCount(), 0u);
}

TEST_F(WindowTest, EachFailingStepReleasesWhatWasMadeThenTellsTheUser) {
    const std::pair<Operation, const char*> steps[] = {
        {Operation::CreateWindowExA, "Window Creation Error."},
        {Operation::GetDC, "Can't Create A GL Device Context."},
        {Operation::ChoosePixelFormat, "Can't Find A Suitable PixelFormat."},
        {Operation::SetPixelFormat, "Can't Set The PixelFormat."},
        {Operation::wglCreateContext, "Can't Create A GL Rendering Context."},
        {Operation::wglMakeCurrent, "Can't Activate The GL Rendering Context."},
    };
    for (const auto& [operation, message] : steps) {
        SCOPED_TRACE(operationName(operation));
        HeadlessTestPlatform fresh;
        usePlatform(fresh);
        appState() = AppState{};
        useGroundScene();
        fresh.failOperation(operation, 1);
        EXPECT_EQ(openWindow("ORVALIS", 640, 480, 16, false), 0);
        ASSERT_EQ(fresh.messageBoxes.size(), 1u);
        EXPECT_EQ(fresh.messageBoxes[0].text, message);
        EXPECT_EQ(fresh.messageBoxes[0].caption, "ERROR");
        EXPECT_EQ(fresh.messageBoxes[0].type, kOpenStyle);
        // The class is unregistered before the message appears.
        const auto& calls = fresh.recentCalls();
        const auto unregister = std::find(calls.begin(), calls.end(), Operation::UnregisterClassA);
        const auto box = std::find(calls.begin(), calls.end(), Operation::MessageBoxA);
        EXPECT_LT(unregister, box);
        EXPECT_EQ(fresh.liveWindowCount(), 0u);
        EXPECT_EQ(appState().window, nullptr);
    }
    usePlatform(headless);
}

TEST_F(WindowTest, ClassRegistrationFailureReleasesNothing) {
    useGroundScene();
    headless.failOperation(Operation::RegisterClassA);
    EXPECT_EQ(openWindow("ORVALIS", 640, 480, 16, false), 0);
    ASSERT_EQ(headless.messageBoxes.size(), 1u);
    EXPECT_EQ(headless.messageBoxes[0].text, "Failed To Register The Window Class.");
    EXPECT_EQ(headless.messageBoxes[0].type, kOpenStyle);
    EXPECT_EQ(headless.callCount(Operation::UnregisterClassA), 0u);
}

TEST_F(WindowTest, RefusedFullscreenAsksAndGoesOnWindowedOnYes) {
    useGroundScene();
    headless.host.offeredModes.clear();
    ASSERT_EQ(openWindow("ORVALIS", 640, 480, 16, true), 1);
    ASSERT_EQ(headless.messageBoxes.size(), 1u);
    EXPECT_EQ(headless.messageBoxes[0].text,
              "The Requested Fullscreen Mode Is Not Supported By\nYour Video Card. Use Windowed "
              "Mode Instead?");
    EXPECT_EQ(headless.messageBoxes[0].caption, "Brannock GL");
    EXPECT_EQ(headless.messageBoxes[0].type, win32::MB_YESNO | win32::MB_ICONEXCLAMATION);
    EXPECT_FALSE(appState().fullscreen);
    EXPECT_EQ(headless.callCount(Operation::ShowCursor), 0u);
}

TEST_F(WindowTest, RefusedFullscreenAnsweredNoEndsWithoutAWindow) {
    useGroundScene();
    headless.host.offeredModes.clear();
    headless.messageBoxAnswers = {win32::IDNO};
    EXPECT_EQ(openWindow("ORVALIS", 640, 480, 16, true), 0);
    ASSERT_EQ(headless.messageBoxes.size(), 2u);
    EXPECT_EQ(headless.messageBoxes[1].text, "Program Will Now Close.");
    EXPECT_EQ(headless.messageBoxes[1].caption, "ERROR");
    EXPECT_EQ(headless.messageBoxes[1].type, win32::MB_OK | win32::MB_ICONSTOP);
    EXPECT_EQ(headless.callCount(Operation::CreateWindowExA), 0u);
}

TEST_F(WindowTest, PixelFormatRequestKeepsTheFirstDepth) {
    useGroundScene();
    ASSERT_EQ(openWindow("ORVALIS", 640, 480, 16, false), 1);
    closeWindow();
    ASSERT_EQ(openWindow("again", 640, 480, 32, false), 1);
    const PixelFormatDescriptor& request = appState().pixelFormat;
    EXPECT_EQ(request.cColorBits, 16);
    EXPECT_EQ(request.cDepthBits, 16);
    EXPECT_EQ(request.nSize, 40);
    EXPECT_EQ(request.dwFlags, 0x25u);
}

TEST_F(WindowTest, ClosingReportsEveryFailedReleaseAndGoesOn) {
    useGroundScene();
    ASSERT_EQ(openWindow("ORVALIS", 640, 480, 16, false), 1);
    for (const Operation operation :
         {Operation::wglMakeCurrent, Operation::wglDeleteContext, Operation::ReleaseDC,
          Operation::DestroyWindow, Operation::UnregisterClassA}) {
        headless.failOperation(operation, 1);
    }
    closeWindow();
    const char* expected[] = {"Release Of DC And RC Failed.", "Release Rendering Context Failed.",
                              "Release Device Context Failed.", "Could Not Release hWnd.",
                              "Could Not Unregister Class."};
    ASSERT_EQ(headless.messageBoxes.size(), 5u);
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(headless.messageBoxes[i].text, expected[i]);
        EXPECT_EQ(headless.messageBoxes[i].caption, "SHUTDOWN ERROR");
        EXPECT_EQ(headless.messageBoxes[i].type, kShutdownStyle);
    }
    EXPECT_EQ(appState().instance, nullptr);
}

TEST_F(WindowTest, AFailedReopeningNeverReleasesTheOldHandlesAgain) {
    useGroundScene();
    ASSERT_EQ(openWindow("ORVALIS", 640, 480, 16, false), 1);
    closeWindow();
    headless.failOperation(Operation::CreateWindowExA, 1);
    EXPECT_EQ(openWindow("Brannock's OpenGL Framework", 640, 480, 16, false), 0);
    ASSERT_EQ(headless.messageBoxes.size(), 1u);
    EXPECT_EQ(headless.messageBoxes[0].text, "Window Creation Error.");
}

TEST_F(WindowTest, WindowProcedureKeepsKeysActivityAndViewport) {
    useGroundScene();
    ASSERT_EQ(openWindow("ORVALIS", 640, 480, 16, false), 1);
    WindowHandle window = appState().window;

    windowProc(window, win32::WM_KEYDOWN, 'W', 0);
    EXPECT_EQ(appState().keys['W'], 1);
    windowProc(window, win32::WM_KEYUP, 'W', 0);
    EXPECT_EQ(appState().keys['W'], 0);
    windowProc(window, win32::WM_SYSKEYDOWN, win32::VK_F1, 0);
    EXPECT_EQ(appState().keys[win32::VK_F1], 0);

    // Deactivated but not minimised: drawing goes on.
    windowProc(window, win32::WM_ACTIVATE, win32::WA_INACTIVE, 0);
    EXPECT_TRUE(appState().active);
    windowProc(window, win32::WM_ACTIVATE, static_cast<std::uintptr_t>(makeLong(0, 1)), 0);
    EXPECT_FALSE(appState().active);

    headless.clearCalls();
    EXPECT_EQ(windowProc(window, win32::WM_SYSCOMMAND, win32::SC_SCREENSAVE, 0), 0);
    EXPECT_EQ(windowProc(window, win32::WM_SYSCOMMAND, win32::SC_MONITORPOWER, 0), 0);
    EXPECT_EQ(headless.callCount(Operation::DefWindowProcA), 0u);
    windowProc(window, win32::WM_SYSCOMMAND, win32::SC_CLOSE, 0);
    EXPECT_EQ(headless.callCount(Operation::DefWindowProcA), 1u);
    EXPECT_EQ(headless.callCount(Operation::PostQuitMessage), 1u);

    // A height of 0 counts as 1: the aspect ratio is then the width.
    windowProc(window, win32::WM_SIZE, 0, makeLong(300, 0));
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 300);
    EXPECT_EQ(viewport[3], 1);
    GLfloat projection[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    EXPECT_NEAR(projection[5] / projection[0], 300.0f, 0.01f);
    GLint mode;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
}

}  // namespace
