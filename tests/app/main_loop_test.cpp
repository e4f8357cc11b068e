#include <gtest/gtest.h>

#include "app/viewer.h"
#include "app/window.h"
#include "platform/gl.h"
#include "shell_test.h"
#include "view/camera.h"

namespace {

class MainLoopTest : public ShellTest {
  protected:
    void SetUp() override {
        ShellTest::SetUp();
        const std::string scene = useGroundScene();
        writeArgumentFile(folder.string() + "\n" + scene + "\n");
    }

    static WindowMessage key(std::uint32_t message, int virtualKey) {
        return {nullptr, message, static_cast<std::uintptr_t>(virtualKey), 0};
    }
};

TEST_F(MainLoopTest, EscEndsWithZeroAfterFramesThatSwapTwice) {
    headless.queueMessages({});
    headless.queueMessages({});
    headless.queueMessages({key(win32::WM_KEYDOWN, win32::VK_ESCAPE)});
    EXPECT_EQ(runViewer(), 0);
    EXPECT_EQ(callCount("SwapBuffers"), 4u);  // two frames
    EXPECT_EQ(headless.liveWindowCount(), 0u);
    EXPECT_EQ(callCount("UnregisterClassA"), 1u);
    EXPECT_EQ(headless.titles.front(), "ORVALIS");
}

TEST_F(MainLoopTest, WhileMinimisedNoFrameIsDrawnAndEscIsIgnoredButFunctionKeysAct) {
    headless.queueMessages({{nullptr, win32::WM_ACTIVATE,
                             static_cast<std::uintptr_t>(makeLong(win32::WA_INACTIVE, 1)), 0}});
    headless.queueMessages({key(win32::WM_KEYDOWN, win32::VK_ESCAPE)});
    headless.queueKeyPress(win32::VK_F2);
    // The script then ends, which closes the window.
    EXPECT_EQ(runViewer(), 0);
    EXPECT_EQ(callCount("SwapBuffers"), 0u);
    EXPECT_FALSE(appState().fogToggle);
}

TEST_F(MainLoopTest, F1RecreatesTheWindowInTheOtherModeAndLoadsAgain) {
    headless.queueKeyPress(win32::VK_F1);
    headless.queueMessages({key(win32::WM_KEYDOWN, win32::VK_ESCAPE)});
    EXPECT_EQ(runViewer(), 0);
    EXPECT_EQ(callCount("CreateWindowExA"), 2u);
    EXPECT_EQ(callCount("RegisterClassA"), 2u);
    ASSERT_GE(headless.titles.size(), 2u);
    EXPECT_EQ(headless.titles[1], "Brannock's OpenGL Framework");
    EXPECT_FALSE(appState().fullscreen);
    EXPECT_FALSE(headless.displayModeChanged());
}

TEST_F(MainLoopTest, AFailedReopeningEndsTheProgramWithoutClosingAgain) {
    headless.queueKeyPress(win32::VK_F1);
    headless.queueMessages({});
    headless.failOperation("GetDC", 1, 1);  // the second window gets no device context
    EXPECT_EQ(runViewer(), 0);
    EXPECT_EQ(headless.messageBoxes.back().text, "Can't Create A GL Device Context.");
    EXPECT_EQ(callCount("UnregisterClassA"), 2u);  // once for F1, once on the failure path
    EXPECT_EQ(callCount("PeekMessageA"), 2u);      // the loop ended at once
}

TEST_F(MainLoopTest, F2TogglesFogFromTheSecondPressAndF3ResetsThePose) {
    ASSERT_EQ(openWindow("ORVALIS", 640, 480, 16, false), 1);
    AppState& app = appState();
    const auto press = [&](int virtualKey) {
        app.keys[virtualKey] = 1;
        EXPECT_TRUE(handleControlKeys());
        EXPECT_EQ(app.keys[virtualKey], 0);
    };
    press(win32::VK_F2);
    EXPECT_TRUE(glIsEnabled(GL_FOG));
    press(win32::VK_F2);
    EXPECT_FALSE(glIsEnabled(GL_FOG));
    press(win32::VK_F2);
    EXPECT_TRUE(glIsEnabled(GL_FOG));

    app.camera.setCamera(100, 20, 30, 101, 20, 30, 0, 1, 0);
    pitchAccumulator() = 0.5f;
    press(win32::VK_F3);
    EXPECT_FLOAT_EQ(app.camera.eye.z, 1);
    EXPECT_FLOAT_EQ(app.camera.lookAt.x, 0);
    EXPECT_FLOAT_EQ(app.camera.up.y, 1);
    EXPECT_FLOAT_EQ(pitchAccumulator(), 0.5f);
    pitchAccumulator() = 0;
}

}  // namespace
