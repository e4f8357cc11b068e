#include <gtest/gtest.h>

#include <functional>

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
    // A quick press: down and up again before the loop draws its next frame.
    static std::vector<WindowMessage> tap(int virtualKey) {
        return {key(win32::WM_KEYDOWN, virtualKey), key(win32::WM_KEYUP, virtualKey)};
    }
    static WindowMessage activation(std::uint16_t minimised) {
        return {nullptr, win32::WM_ACTIVATE,
                static_cast<std::uintptr_t>(makeLong(win32::WA_ACTIVE, minimised)), 0};
    }

    // W held, and a clock that has run for 10 days and moves on 10 ms at every reading.
    void flyForwardWithTenMillisecondFrames() {
        headless.keyStates['W'] = static_cast<std::int16_t>(0xFF80);
        headless.clockReadings = {864'000'000};
        headless.clockStep = 10;
    }
    // A minute passes at every call of `operation` made while `when` holds.
    void minutePassesAt(Operation operation, std::function<bool()> when) {
        headless.onCall = [this, operation, when](Operation called) {
            if (called == operation && when()) {
                headless.advanceClock(60'000);
            }
        };
    }
    // Each frame's movement uses one 10 ms interval: at 50 units per second, half a unit.
    void expectFlownOnlyByFrames() const {
        const float frames = static_cast<float>(headless.callCount(Operation::SwapBuffers) / 2);
        const float flown = 1 - appState().camera.eye.z;
        EXPECT_GT(flown, 0);
        EXPECT_LE(flown, frames * 0.5f + 1e-3f) << frames << " frames";
    }
};

TEST_F(MainLoopTest, EscEndsWithZeroAfterFramesThatSwapTwice) {
    headless.queueMessages({});
    headless.queueMessages({});
    headless.queueMessages({key(win32::WM_KEYDOWN, win32::VK_ESCAPE)});
    EXPECT_EQ(runViewer(), 0);
    EXPECT_EQ(headless.callCount(Operation::SwapBuffers), 4u);  // two frames
    EXPECT_EQ(headless.liveWindowCount(), 0u);
    EXPECT_EQ(headless.callCount(Operation::UnregisterClassA), 1u);
    EXPECT_EQ(headless.titles.front(), "ORVALIS");
}

TEST_F(MainLoopTest, WhileMinimisedNoFrameIsDrawnAndEscIsIgnoredButFunctionKeysAct) {
    headless.queueMessages({activation(1)});
    headless.queueMessages(tap(win32::VK_ESCAPE));
    headless.queueKeyPress(win32::VK_F2);
    headless.queueMessages({activation(0)});
    // Pressed while active, but minimised before the loop could act on it.
    headless.queueMessages({key(win32::WM_KEYDOWN, win32::VK_ESCAPE), activation(1)});
    headless.queueMessages({activation(0)});
    // The script then ends, which closes the window.
    EXPECT_EQ(runViewer(), 0);
    EXPECT_EQ(headless.callCount(Operation::SwapBuffers), 4u) << "a frame after each restore";
    EXPECT_FALSE(appState().fogToggle);
}

TEST_F(MainLoopTest, EscTappedWithinOneFrameEnds) {
    headless.queueMessages({});
    headless.queueMessages(tap(win32::VK_ESCAPE));
    headless.queueMessages({});
    EXPECT_EQ(runViewer(), 0);
    EXPECT_EQ(headless.callCount(Operation::SwapBuffers), 2u)
        << "Esc ended the loop after one frame";
}

TEST_F(MainLoopTest, FunctionKeysTappedWithinOneFrameActOnce) {
    flyForwardWithTenMillisecondFrames();
    std::vector<WindowMessage> f1AndF2 = tap(win32::VK_F1);
    for (const WindowMessage& message : tap(win32::VK_F2)) {
        f1AndF2.push_back(message);
    }
    headless.queueMessages({});
    headless.queueMessages(f1AndF2);
    headless.queueMessages({});
    headless.queueMessages(tap(win32::VK_F3));  // in the last pass, after its frame
    EXPECT_EQ(runViewer(), 0);
    EXPECT_EQ(headless.callCount(Operation::CreateWindowExA), 2u);
    EXPECT_FALSE(appState().fogToggle);
    EXPECT_FLOAT_EQ(appState().camera.eye.z, 1);
}

TEST_F(MainLoopTest, MovementKeysCountOnlyWhileHeld) {
    headless.clockStep = 10;
    for (int frame = 0; frame < 3; ++frame) {
        headless.queueMessages(tap('W'));
    }
    EXPECT_EQ(runViewer(), 0);
    EXPECT_EQ(headless.callCount(Operation::SwapBuffers), 6u);
    EXPECT_FLOAT_EQ(appState().camera.eye.z, 1);
}

TEST_F(MainLoopTest, TimeWhileMinimisedDoesNotFly) {
    flyForwardWithTenMillisecondFrames();
    minutePassesAt(Operation::PeekMessageA, [] { return !appState().active; });
    headless.queueMessages({});
    headless.queueMessages({});
    headless.queueMessages({activation(1)});
    headless.queueMessages({});
    headless.queueMessages({activation(0)});
    headless.queueMessages({});
    headless.queueMessages({});
    EXPECT_EQ(runViewer(), 0);
    expectFlownOnlyByFrames();
}

TEST_F(MainLoopTest, TimeWhileTheSceneLoadsDoesNotFly) {
    flyForwardWithTenMillisecondFrames();
    // The scene cannot be read, so every set-up shows a message box.
    writeArgumentFile(folder.string() + "\n" + (folder.path() / "missing.gnd").string() + "\n");
    for (const Operation operation : {Operation::CreateWindowExA, Operation::MessageBoxA}) {
        SCOPED_TRACE(operationName(operation));
        headless.clearCalls();
        minutePassesAt(operation, [] { return true; });
        headless.queueMessages({});
        headless.queueKeyPress(win32::VK_F1);
        headless.queueMessages({});
        headless.queueMessages({});
        EXPECT_EQ(runViewer(), 0);
        EXPECT_EQ(headless.callCount(operation), 2u) << "at start and after F1";
        expectFlownOnlyByFrames();
    }
}

TEST_F(MainLoopTest, AFailedReopeningEndsTheProgramWithoutClosingAgain) {
    headless.queueKeyPress(win32::VK_F1);
    headless.queueMessages({});
    headless.failOperation(Operation::GetDC, 1, 1);  // the second window gets no device context
    EXPECT_EQ(runViewer(), 0);
    EXPECT_EQ(headless.messageBoxes.back().text, "Can't Create A GL Device Context.");
    // Once for F1, once on the failure path.
    EXPECT_EQ(headless.callCount(Operation::UnregisterClassA), 2u);
    EXPECT_EQ(headless.callCount(Operation::PeekMessageA), 2u);  // the loop ended at once
}

TEST_F(MainLoopTest, F2TogglesFogFromTheSecondPressAndF3ResetsThePose) {
    ASSERT_EQ(openWindow("ORVALIS", 640, 480, 16, false), 1);
    AppState& app = appState();
    const auto press = [&](int virtualKey) {
        windowProc(app.window, win32::WM_KEYDOWN, static_cast<std::uintptr_t>(virtualKey), 0);
        EXPECT_TRUE(handleControlKeys());
        EXPECT_EQ(app.keys[virtualKey], 1) << "still down";
        EXPECT_TRUE(handleControlKeys()) << "acts once";
        windowProc(app.window, win32::WM_KEYUP, static_cast<std::uintptr_t>(virtualKey), 0);
    };
    press(win32::VK_F2);
    EXPECT_TRUE(glIsEnabled(GL_FOG));
    press(win32::VK_F2);
    EXPECT_FALSE(glIsEnabled(GL_FOG));
    press(win32::VK_F2);
    EXPECT_TRUE(glIsEnabled(GL_FOG));

    app.camera.setCamera(100, 20, 30, 101, 20, 30, 0, 1, 0);
    app.camera.pitchSum = 0.5f;
    press(win32::VK_F3);
    EXPECT_FLOAT_EQ(app.camera.eye.z, 1);
    EXPECT_FLOAT_EQ(app.camera.lookAt.x, 0);
    EXPECT_FLOAT_EQ(app.camera.up.y, 1);
    EXPECT_FLOAT_EQ(app.camera.pitchSum, 0.5f);
}

}  // namespace
