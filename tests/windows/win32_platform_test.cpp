// The Win32 backend on a real Windows (or Wine) desktop: windows of the viewer's class, their
// messages reaching the viewer's window procedure, and a GL context from the viewer's pixel format.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "app/app_state.h"
#include "app/window.h"
#include "platform/gl.h"
#include "platform/win32_platform.h"
#include "platform_contract.h"

// After our headers: its macros bear the names of the values in win32_types.h.
#include <windows.h>

namespace {

class Win32PlatformTest : public ::testing::Test {
  protected:
    void SetUp() override {
        usePlatform(windows);
        WindowClass windowClass;
        windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
        windowClass.procedure = windowProc;
        windowClass.instance = windows.getModuleHandle();
        windowClass.className = kWindowClassName;
        ASSERT_TRUE(windows.registerClass(windowClass));
        window =
            windows.createWindowEx(WS_EX_APPWINDOW, kWindowClassName, "Win32 backend",
                                   WS_OVERLAPPEDWINDOW, 0, 0, 320, 240, windows.getModuleHandle());
        ASSERT_NE(window, nullptr);
    }

    void TearDown() override {
        if (window != nullptr) {
            windows.destroyWindow(window);
        }
        windows.unregisterClass(kWindowClassName, windows.getModuleHandle());
    }

    void post(UINT message, WPARAM wParam, LPARAM lParam = 0) {
        ASSERT_TRUE(PostMessageA(static_cast<HWND>(window), message, wParam, lParam));
    }

    // Takes and dispatches every waiting message as the main loop does; returns what was taken.
    std::vector<WindowMessage> pumpMessages() {
        std::vector<WindowMessage> taken;
        WindowMessage message;
        while (windows.peekMessage(message)) {
            taken.push_back(message);
            windows.translateMessage(message);
            windows.dispatchMessage(message);
        }
        return taken;
    }

    Win32Platform windows;
    WindowHandle window = nullptr;
};

TEST_F(Win32PlatformTest, MessagesReachTheWindowProcedureOfTheClass) {
    AppState& app = appState();
    app.keys = {};
    post(WM_KEYDOWN, VK_F1);
    post(WM_KEYDOWN, 'W');
    post(WM_KEYUP, 'W');
    post(WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 1));  // minimised
    pumpMessages();
    EXPECT_EQ(app.keys[VK_F1], 1);
    EXPECT_EQ(app.keys['W'], 0);
    EXPECT_FALSE(app.active);

    post(WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0));
    post(WM_CLOSE, 0);
    const std::vector<WindowMessage> taken = pumpMessages();
    EXPECT_TRUE(app.active);
    ASSERT_FALSE(taken.empty());
    EXPECT_EQ(taken.back().message, static_cast<std::uint32_t>(WM_QUIT));  // from PostQuitMessage
    EXPECT_EQ(taken.back().wParam, 0u);
}

// What each recording procedure saw: its name and the message.
std::vector<std::pair<char, UINT>> recorded;

template <char name>
std::intptr_t recordingProcedure(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                 std::intptr_t lParam) {
    recorded.emplace_back(name, message);
    return DefWindowProcA(static_cast<HWND>(window), message, wParam, lParam);
}

bool sawMessage(char procedure, UINT message) {
    return std::find(recorded.begin(), recorded.end(), std::pair{procedure, message}) !=
           recorded.end();
}

// Each backend keeps the procedures of the classes it registered: a window's messages, those of
// its creation included, reach the procedure of its own class through the backend that made it.
TEST_F(Win32PlatformTest, EachWindowReachesTheProcedureOfItsClassFromItsCreationOn) {
    Win32Platform other;
    WindowClass a;
    a.procedure = recordingProcedure<'a'>;
    a.instance = windows.getModuleHandle();
    a.className = "Orvalis test A";
    WindowClass b = a;
    b.procedure = recordingProcedure<'b'>;
    b.className = "Orvalis test B";
    ASSERT_TRUE(windows.registerClass(a));
    ASSERT_TRUE(other.registerClass(b));
    EXPECT_EQ(windows.classProcedure("Orvalis test B"), nullptr);
    EXPECT_EQ(other.classProcedure("Orvalis test A"), nullptr);

    recorded.clear();
    const WindowHandle windowA = windows.createWindowEx(0, "Orvalis test A", "A", WS_POPUP, 0, 0,
                                                        32, 32, windows.getModuleHandle());
    ASSERT_NE(windowA, nullptr);
    EXPECT_TRUE(sawMessage('a', WM_NCCREATE));
    EXPECT_TRUE(sawMessage('a', WM_CREATE));
    EXPECT_FALSE(sawMessage('b', WM_CREATE));

    recorded.clear();
    const WindowHandle windowB = other.createWindowEx(0, "Orvalis test B", "B", WS_POPUP, 0, 0, 32,
                                                      32, other.getModuleHandle());
    ASSERT_NE(windowB, nullptr);
    EXPECT_TRUE(sawMessage('b', WM_CREATE));
    SendMessageA(static_cast<HWND>(windowB), WM_KEYDOWN, VK_F12, 0);
    EXPECT_TRUE(sawMessage('b', WM_KEYDOWN));
    EXPECT_FALSE(sawMessage('a', WM_KEYDOWN));

    EXPECT_TRUE(windows.destroyWindow(windowA));
    EXPECT_TRUE(other.destroyWindow(windowB));
    EXPECT_TRUE(windows.unregisterClass("Orvalis test A", windows.getModuleHandle()));
    EXPECT_TRUE(other.unregisterClass("Orvalis test B", other.getModuleHandle()));
    EXPECT_EQ(windows.classProcedure("Orvalis test A"), nullptr);
}

TEST_F(Win32PlatformTest, ClassesAndWindowsAreReleasedInOrder) {
    WindowClass again;
    again.procedure = windowProc;
    again.instance = windows.getModuleHandle();
    again.className = kWindowClassName;
    EXPECT_FALSE(windows.registerClass(again));  // already registered

    // A class cannot go while one of its windows is there.
    EXPECT_FALSE(windows.unregisterClass(kWindowClassName, windows.getModuleHandle()));
    EXPECT_TRUE(windows.destroyWindow(window));
    EXPECT_FALSE(windows.destroyWindow(window));
    window = nullptr;
    EXPECT_TRUE(windows.unregisterClass(kWindowClassName, windows.getModuleHandle()));
}

TEST_F(Win32PlatformTest, WindowRectangleTitleFocusAndCursor) {
    WindowRect rect{0, 0, 640, 480};
    ASSERT_TRUE(windows.adjustWindowRectEx(rect, WS_OVERLAPPEDWINDOW, false,
                                           WS_EX_APPWINDOW | WS_EX_WINDOWEDGE));
    EXPECT_LT(rect.left, 0);  // the frame and the caption lie around the client area
    EXPECT_LT(rect.top, 0);
    EXPECT_GT(rect.right, 640);
    EXPECT_GT(rect.bottom, 480);

    ASSERT_TRUE(windows.setWindowText(window, "Orvalis : Displaying"));
    char title[64] = {};
    GetWindowTextA(static_cast<HWND>(window), title, sizeof title);
    EXPECT_STREQ(title, "Orvalis : Displaying");

    windows.showWindow(window, SW_SHOW);
    windows.setForegroundWindow(window);
    windows.setFocus(window);
    EXPECT_EQ(windows.getFocus(), window);
}

TEST_F(Win32PlatformTest, ThePixelFormatRequestGetsAFormatWithAllItAskedFor) {
    const PixelFormatDescriptor request = platform_contract::viewerPixelFormat();
    const DeviceContextHandle dc = windows.getDC(window);
    ASSERT_NE(dc, nullptr);
    const int format = windows.choosePixelFormat(dc, request);
    ASSERT_GT(format, 0);
    PIXELFORMATDESCRIPTOR chosen;
    ASSERT_GT(DescribePixelFormat(static_cast<HDC>(dc), format, sizeof chosen, &chosen), 0);
    EXPECT_EQ(chosen.dwFlags & request.dwFlags, request.dwFlags);
    EXPECT_GE(chosen.cDepthBits, 16);
    EXPECT_TRUE(windows.releaseDC(window, dc));
}

// The hosts' contract where it reads the same over the Platform operations.
// What the window shows is read through GDI, as any program on the desktop could read it.
TEST(Win32Contract, AWindowDrawsWithOpenGlAndShowsIt) {
    Win32Platform windows;
    platform_contract::expectAWindowDrawsWithOpenGlAndShowsIt(windows, [] {
        const HWND shown = FindWindowA(platform_contract::kClassName, nullptr);
        const HDC dc = GetDC(shown);
        const COLORREF colour =
            GetPixel(dc, platform_contract::kWidth / 2, platform_contract::kHeight / 2);
        ReleaseDC(shown, dc);
        return platform_contract::Colour{GetRValue(colour), GetGValue(colour), GetBValue(colour)};
    });
}

TEST(Win32Contract, TheCursorIsReadWhereItWasPutAndTheClockCounts) {
    Win32Platform windows;
    usePlatform(windows);
    platform_contract::expectTheCursorGoesWhereItIsPut(windows);
    platform_contract::expectTheClockCountsMilliseconds(windows);
}

}  // namespace
