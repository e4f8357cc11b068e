#include "platform/emulated_win32.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <vector>

#include "platform/headless_host.h"

namespace {

// The headless host with events that a test puts in, and a note of what the emulation asked it.
class WatchedHost : public HeadlessHost {
  public:
    std::vector<WindowMessage> waiting;  // handed out at the next takeEvents
    std::vector<Surface> made;           // every surface, in the order made
    std::map<Surface, SurfaceStyle> live;
    int liveContexts = 0;
    std::optional<bool> cursorVisible;
    Surface boxOwner = nullptr;

    Surface createSurface(const char* title, int x, int y, int width, int height,
                          SurfaceStyle style) override {
        Surface surface = HeadlessHost::createSurface(title, x, y, width, height, style);
        made.push_back(surface);
        live[surface] = style;
        return surface;
    }
    void destroySurface(Surface surface) override {
        live.erase(surface);
        HeadlessHost::destroySurface(surface);
    }
    GlContext createContext(Surface surface) override {
        ++liveContexts;
        return HeadlessHost::createContext(surface);
    }
    bool deleteContext(GlContext context) override {
        --liveContexts;
        return HeadlessHost::deleteContext(context);
    }
    void takeEvents(std::vector<WindowMessage>& messages) override {
        messages.insert(messages.end(), waiting.begin(), waiting.end());
        waiting.clear();
    }
    void showCursor(bool visible) override { cursorVisible = visible; }
    int messageBox(Surface owner, const char* text, const char* caption,
                   std::uint32_t type) override {
        boxOwner = owner;
        return HeadlessHost::messageBox(owner, text, caption, type);
    }
};

// What the window procedure of the class "Test" received.
std::vector<WindowMessage> received;

std::intptr_t receivingProcedure(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                 std::intptr_t lParam) {
    received.push_back({window, message, wParam, lParam});
    return 0;
}

class EmulatedWin32Test : public ::testing::Test {
  protected:
    void SetUp() override {
        received.clear();
        WindowClass windowClass;
        windowClass.procedure = receivingProcedure;
        windowClass.className = "Test";
        ASSERT_TRUE(services.registerClass(windowClass));
    }

    WindowHandle makeWindow(std::uint32_t style = win32::WS_OVERLAPPEDWINDOW) {
        return services.createWindowEx(0, "Test", "test", style, 0, 0, 64, 48, nullptr);
    }

    // Takes and dispatches every waiting message; false when none waited.
    bool dispatchWaiting() {
        WindowMessage message;
        bool any = false;
        while (services.peekMessage(message)) {
            any = true;
            services.dispatchMessage(message);
            if (message.message == win32::WM_QUIT) {
                received.push_back(message);
            }
        }
        return any;
    }

    WatchedHost host;
    EmulatedWin32 services{host};
};

TEST_F(EmulatedWin32Test, HostEventsReachTheWindowsOfTheirSurfacesAndTheQuitComesLast) {
    const WindowHandle first = makeWindow();
    const WindowHandle second = makeWindow();
    ASSERT_TRUE(first && second);
    services.postQuitMessage(3);
    host.waiting = {{host.made[1], win32::WM_KEYDOWN, 'W', 0},
                    {nullptr, win32::WM_CLOSE, 0, 0},
                    {&received, win32::WM_SIZE, 0, 0}};  // no window's surface
    ASSERT_TRUE(dispatchWaiting());
    ASSERT_EQ(received.size(), 4u);
    EXPECT_EQ(received[0].window, second);
    EXPECT_EQ(received[0].message, win32::WM_KEYDOWN);
    EXPECT_EQ(received[0].wParam, std::uintptr_t{'W'});
    EXPECT_EQ(received[1].window, first);
    EXPECT_EQ(received[1].message, win32::WM_CLOSE);
    EXPECT_EQ(received[2].window, second);
    EXPECT_EQ(received[2].message, win32::WM_CLOSE);
    EXPECT_EQ(received[3].message, win32::WM_QUIT);
    EXPECT_EQ(received[3].wParam, 3u);

    // A closed window's events are dropped; a close command closes through the window procedure.
    ASSERT_TRUE(services.destroyWindow(second));
    host.waiting = {{host.made[1], win32::WM_KEYDOWN, 'W', 0}};
    EXPECT_FALSE(dispatchWaiting());
    services.defWindowProc(first, win32::WM_SYSCOMMAND, win32::SC_CLOSE, 0);
    ASSERT_EQ(received.size(), 5u);
    EXPECT_EQ(received[4].message, win32::WM_CLOSE);
}

TEST_F(EmulatedWin32Test, ReleasedHandlesServeNoMoreAndAreNotHandedOutAgain) {
    const WindowHandle gone = makeWindow();
    ASSERT_TRUE(services.destroyWindow(gone));
    EXPECT_FALSE(services.destroyWindow(gone));
    EXPECT_EQ(services.getDC(gone), nullptr);
    EXPECT_FALSE(services.setWindowText(gone, "title"));
    const WindowHandle window = makeWindow();
    EXPECT_NE(window, gone);

    PixelFormatDescriptor request;
    request.dwFlags = win32::PFD_DRAW_TO_WINDOW | win32::PFD_SUPPORT_OPENGL;
    const DeviceContextHandle dc = services.getDC(window);
    EXPECT_EQ(services.createContext(dc), nullptr) << "no context before the pixel format";
    ASSERT_EQ(services.choosePixelFormat(dc, request), 1);
    ASSERT_TRUE(services.setPixelFormat(dc, 1, request));
    EXPECT_FALSE(services.setPixelFormat(dc, 1, request)) << "a window's format is set once";
    const RenderingContextHandle context = services.createContext(dc);
    ASSERT_NE(context, nullptr);
    EXPECT_TRUE(services.makeCurrent(dc, context));
    EXPECT_TRUE(services.swapBuffers(dc));

    EXPECT_TRUE(services.makeCurrent(nullptr, nullptr));
    EXPECT_TRUE(services.deleteContext(context));
    EXPECT_FALSE(services.deleteContext(context));
    EXPECT_FALSE(services.makeCurrent(dc, context));
    EXPECT_TRUE(services.releaseDC(window, dc));
    EXPECT_FALSE(services.releaseDC(window, dc));
    EXPECT_FALSE(services.swapBuffers(dc));
    EXPECT_EQ(services.choosePixelFormat(dc, request), 0);
}

TEST_F(EmulatedWin32Test, FullscreenOnlyAfterSwitchingToAModeTheHostOffers) {
    host.offeredModes = {{800, 600}};
    DisplayMode mode;
    mode.pelsWidth = 640;
    mode.pelsHeight = 480;
    EXPECT_EQ(services.changeDisplaySettings(&mode, win32::CDS_FULLSCREEN),
              win32::DISP_CHANGE_BADMODE);
    makeWindow(win32::WS_POPUP);
    EXPECT_FALSE(host.live[host.made.back()].fullscreen);

    mode.pelsWidth = 800;
    mode.pelsHeight = 600;
    mode.bitsPerPel = 16;  // any depth will do
    ASSERT_EQ(services.changeDisplaySettings(&mode, win32::CDS_FULLSCREEN),
              win32::DISP_CHANGE_SUCCESSFUL);
    makeWindow(win32::WS_POPUP);
    EXPECT_TRUE(host.live[host.made.back()].fullscreen);
    EXPECT_FALSE(host.live[host.made.back()].resizable);
    makeWindow(win32::WS_OVERLAPPEDWINDOW);
    EXPECT_FALSE(host.live[host.made.back()].fullscreen);
    EXPECT_TRUE(host.live[host.made.back()].resizable);

    ASSERT_EQ(services.changeDisplaySettings(nullptr, 0), win32::DISP_CHANGE_SUCCESSFUL);
    makeWindow(win32::WS_POPUP);
    EXPECT_FALSE(host.live[host.made.back()].fullscreen);
}

TEST_F(EmulatedWin32Test, TheCursorShowsWhileItsCounterIsNotNegative) {
    EXPECT_EQ(services.showCursor(false), -1);
    EXPECT_EQ(host.cursorVisible, false);
    EXPECT_EQ(services.showCursor(false), -2);
    EXPECT_EQ(services.showCursor(true), -1);
    EXPECT_EQ(host.cursorVisible, false);
    EXPECT_EQ(services.showCursor(true), 0);
    EXPECT_EQ(host.cursorVisible, true);
}

TEST_F(EmulatedWin32Test, MessageBoxesWriteTheirLineAndShowOverTheOwnersSurface) {
    const WindowHandle owner = makeWindow();
    testing::internal::CaptureStderr();
    const int answer = services.messageBox(owner, "two\nlines", "Caption", win32::MB_YESNO);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Caption: two lines\n");
    EXPECT_EQ(answer, win32::IDYES);
    EXPECT_EQ(host.boxOwner, host.made.back());
}

TEST_F(EmulatedWin32Test, WhatIsLeftIsReleasedWithTheServices) {
    {
        EmulatedWin32 shortLived(host);
        WindowClass windowClass;
        windowClass.className = "Short";
        ASSERT_TRUE(shortLived.registerClass(windowClass));
        const WindowHandle window =
            shortLived.createWindowEx(0, "Short", "", 0, 0, 0, 8, 8, nullptr);
        PixelFormatDescriptor request;
        request.dwFlags = win32::PFD_DRAW_TO_WINDOW | win32::PFD_SUPPORT_OPENGL;
        const DeviceContextHandle dc = shortLived.getDC(window);
        ASSERT_TRUE(
            shortLived.setPixelFormat(dc, shortLived.choosePixelFormat(dc, request), request));
        ASSERT_TRUE(shortLived.makeCurrent(dc, shortLived.createContext(dc)));
        ASSERT_EQ(host.live.size(), 1u);
        ASSERT_EQ(host.liveContexts, 1);
    }
    EXPECT_TRUE(host.live.empty());
    EXPECT_EQ(host.liveContexts, 0);
}

TEST(MessageBoxLine, CaptionThenTextOnOneLine) {
    EXPECT_EQ(messageBoxLine("Brannock GL",
                             "The Requested Fullscreen Mode Is Not Supported By\nYour Video Card. "
                             "Use Windowed Mode Instead?"),
              "Brannock GL: The Requested Fullscreen Mode Is Not Supported By Your Video Card. Use "
              "Windowed Mode Instead?");
    EXPECT_EQ(messageBoxLine("Error", "Can't open orvalis.arg"), "Error: Can't open orvalis.arg");
    // Every break inside is a space; only the one at the very end goes.
    EXPECT_EQ(messageBoxLine("ERROR", "two\n\nbreaks\n"), "ERROR: two  breaks");
    EXPECT_EQ(messageBoxLine("ERROR", "\nfirst\r\nsecond\r\n"), "ERROR:  first second");
    EXPECT_EQ(messageBoxLine("ERROR", "\n"), "ERROR: ");
}

}  // namespace
