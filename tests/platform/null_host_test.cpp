#include "platform/null_host.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "platform/emulated_win32.h"

namespace {

std::intptr_t ignoringProcedure(WindowHandle, std::uint32_t, std::uintptr_t, std::intptr_t) {
    return 0;
}

class NullHostTest : public ::testing::Test {
  protected:
    NullHost host;
    EmulatedWin32 services{host};
};

TEST_F(NullHostTest, NoWindowCanBeMadeAndTheFailureSaysWhy) {
    WindowClass windowClass;
    windowClass.procedure = ignoringProcedure;
    windowClass.className = "Null";
    ASSERT_TRUE(services.registerClass(windowClass));

    testing::internal::CaptureStderr();
    const WindowHandle window = services.createWindowEx(
        0, "Null", "Orvalis", win32::WS_OVERLAPPEDWINDOW, 0, 0, 64, 48, nullptr);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(window, nullptr);
    EXPECT_NE(said.find("Orvalis"), std::string::npos) << said;
    EXPECT_NE(said.find("64 x 48"), std::string::npos) << said;

    // Without a window there is no device context and nothing to draw with, but releasing the
    // current context always succeeds.
    EXPECT_EQ(services.getDC(window), nullptr);
    EXPECT_TRUE(services.makeCurrent(nullptr, nullptr));
    EXPECT_EQ(services.getProcAddress("glGenTextures"), nullptr);
    EXPECT_TRUE(services.unregisterClass("Null", nullptr));
}

TEST_F(NullHostTest, NoModeNoEventsNoPointerNoKeysButTheQuitStillComes) {
    const DisplayMode mode{0, 32, 640, 480};
    EXPECT_EQ(services.changeDisplaySettings(&mode, win32::CDS_FULLSCREEN),
              win32::DISP_CHANGE_BADMODE);
    EXPECT_EQ(services.changeDisplaySettings(nullptr, 0), win32::DISP_CHANGE_SUCCESSFUL);

    WindowMessage message;
    EXPECT_FALSE(services.peekMessage(message));
    services.postQuitMessage(4);
    ASSERT_TRUE(services.peekMessage(message));
    EXPECT_EQ(message.message, win32::WM_QUIT);
    EXPECT_EQ(message.wParam, 4u);
    EXPECT_FALSE(services.peekMessage(message));

    CursorPoint point{7, 9};
    EXPECT_FALSE(services.setCursorPos(1, 2));
    EXPECT_FALSE(services.getCursorPos(point));
    EXPECT_EQ(services.getKeyState(win32::VK_ESCAPE), 0);
}

TEST_F(NullHostTest, MessageBoxesAnswerAsEscWouldAndStillReachStandardError) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(services.messageBox(nullptr, "Quit?", "Orvalis", win32::MB_YESNO), win32::IDNO);
    EXPECT_EQ(
        services.messageBox(nullptr, "Done", "Orvalis", win32::MB_OK | win32::MB_ICONINFORMATION),
        win32::IDOK);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("Orvalis: Quit?"), std::string::npos) << said;
    EXPECT_NE(said.find("Orvalis: Done"), std::string::npos) << said;
}

TEST_F(NullHostTest, TheClockAdvances) {
    const std::uint32_t before = services.timeGetTime();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    // Differences modulo 2^32, as the program reads them.
    EXPECT_GE(static_cast<std::uint32_t>(services.timeGetTime() - before), 5u);
}

}  // namespace
