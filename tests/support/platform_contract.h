#pragma once
// The parts of the hosts' contract (host.h) that read the same over the Platform operations, so
// that every backend runs them: the emulated services on each host (platform/host_contract_test)
// and the Win32 backend on Windows or Wine (windows/win32_platform_test). Header only, since the
// Windows test programs build no support library. Each check makes the backend the one in use.

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <functional>
#include <thread>

#include "platform/gl.h"
#include "platform/platform.h"

namespace platform_contract {

inline constexpr char kClassName[] = "Orvalis contract";
inline constexpr char kWindowTitle[] = "Orvalis contract";

inline std::intptr_t defaultProcedure(WindowHandle window, std::uint32_t message,
                                      std::uintptr_t wParam, std::intptr_t lParam) {
    return platform().defWindowProc(window, message, wParam, lParam);
}

// A registered class of our own, with a window of it while it lives.
class ContractWindow {
  public:
    ContractWindow(Platform& backend, int width, int height) : backend_(backend) {
        usePlatform(backend);
        WindowClass windowClass;
        windowClass.style = win32::CS_OWNDC;
        windowClass.procedure = defaultProcedure;
        windowClass.instance = backend.getModuleHandle();
        windowClass.className = kClassName;
        registered_ = backend.registerClass(windowClass);
        window_ =
            backend.createWindowEx(win32::WS_EX_APPWINDOW, kClassName, kWindowTitle,
                                   win32::WS_POPUP, 0, 0, width, height, backend.getModuleHandle());
    }
    ~ContractWindow() {
        if (window_ != nullptr) {
            backend_.destroyWindow(window_);
        }
        if (registered_) {
            backend_.unregisterClass(kClassName, backend_.getModuleHandle());
        }
    }
    ContractWindow(const ContractWindow&) = delete;
    ContractWindow& operator=(const ContractWindow&) = delete;

    WindowHandle handle() const { return window_; }

  private:
    Platform& backend_;
    bool registered_ = false;
    WindowHandle window_ = nullptr;
};

// The request the viewer makes: double-buffered RGBA for OpenGL with a 16-bit depth buffer.
inline PixelFormatDescriptor viewerPixelFormat() {
    PixelFormatDescriptor request;
    request.nSize = sizeof request;
    request.nVersion = 1;
    request.dwFlags =
        win32::PFD_DRAW_TO_WINDOW | win32::PFD_SUPPORT_OPENGL | win32::PFD_DOUBLEBUFFER;
    request.iPixelType = win32::PFD_TYPE_RGBA;
    request.cColorBits = 16;
    request.cDepthBits = 16;
    return request;
}

// The colour a window shows at the middle of its drawable, as red, green and blue.
using Colour = std::array<int, 3>;
using ShownColour = std::function<Colour()>;

// What the front buffer of the current context holds there: where the window system hands back
// the picture it shows, as a pbuffer does. (A GLX window's is not that picture.)
inline Colour frontBufferColour(int width, int height) {
    std::array<GLubyte, 4> pixel{};
    glReadBuffer(GL_FRONT);
    glReadPixels(width / 2, height / 2, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel.data());
    glReadBuffer(GL_BACK);
    return {pixel[0], pixel[1], pixel[2]};
}

inline constexpr int kWidth = 96;
inline constexpr int kHeight = 64;

// A window's context: OpenGL 1.1 and GLU work in it on a drawable of the window's size with a
// depth buffer of at least 16 bits; what is drawn is shown by the swap, as `shown` reads it
// (by default the front buffer); its entry points are found; releasing it leaves no context
// current, and it can be deleted while current.
inline void expectAWindowDrawsWithOpenGlAndShowsIt(Platform& backend, ShownColour shown = nullptr) {
    if (!shown) {
        shown = [] { return frontBufferColour(kWidth, kHeight); };
    }
    const ContractWindow window(backend, kWidth, kHeight);
    ASSERT_NE(window.handle(), nullptr);
    backend.showWindow(window.handle(), win32::SW_SHOW);  // a hidden window may own no pixels
    const DeviceContextHandle dc = backend.getDC(window.handle());
    ASSERT_NE(dc, nullptr);
    const PixelFormatDescriptor request = viewerPixelFormat();
    const int format = backend.choosePixelFormat(dc, request);
    ASSERT_GT(format, 0);
    ASSERT_TRUE(backend.setPixelFormat(dc, format, request));
    const RenderingContextHandle context = backend.createContext(dc);
    ASSERT_NE(context, nullptr);
    ASSERT_TRUE(backend.makeCurrent(dc, context));

    int major = 0;
    int minor = 0;
    const auto* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    ASSERT_NE(version, nullptr);
    ASSERT_EQ(std::sscanf(version, "%d.%d", &major, &minor), 2) << version;
    EXPECT_GE(major * 10 + minor, 11) << version;
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], kWidth);
    EXPECT_EQ(viewport[3], kHeight);
    GLint depthBits = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    EXPECT_GE(depthBits, 16);

    // GLU sets the matrices: an orthographic projection 2 wide scales x by 1.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluOrtho2D(-1, 1, -2, 2);
    GLfloat projection[16] = {};
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    EXPECT_FLOAT_EQ(projection[0], 1.0f);
    EXPECT_FLOAT_EQ(projection[5], 0.5f);

    // A window shows what it was given once it is on the screen, which a window system may put
    // off a little after it was asked.
    constexpr Colour kRed{255, 0, 0};
    Colour seen{};
    for (int frame = 0; frame < 40 && seen != kRed; ++frame) {
        glClearColor(1, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        EXPECT_TRUE(backend.swapBuffers(dc));
        seen = shown();
        if (seen != kRed) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
    EXPECT_EQ(seen, kRed);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_NE(backend.getProcAddress("glCompressedTexImage2DARB"), nullptr);

    EXPECT_TRUE(backend.makeCurrent(nullptr, nullptr));
    EXPECT_EQ(glGetString(GL_VERSION), nullptr);
    ASSERT_TRUE(backend.makeCurrent(dc, context));
    EXPECT_TRUE(backend.deleteContext(context));
    EXPECT_EQ(glGetString(GL_VERSION), nullptr);
    EXPECT_TRUE(backend.releaseDC(window.handle(), dc));
}

// The pointer is read where it was put, in screen coordinates.
inline void expectTheCursorGoesWhereItIsPut(Platform& backend) {
    for (const CursorPoint put : {CursorPoint{40, 30}, CursorPoint{300, 200}}) {
        ASSERT_TRUE(backend.setCursorPos(put.x, put.y));
        CursorPoint read{-1, -1};
        ASSERT_TRUE(backend.getCursorPos(read));
        EXPECT_EQ(read.x, put.x);
        EXPECT_EQ(read.y, put.y);
    }
}

// The clock counts milliseconds as they pass; differences are read modulo 2^32.
inline void expectTheClockCountsMilliseconds(Platform& backend) {
    const std::uint32_t before = backend.timeGetTime();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    const std::uint32_t elapsed = backend.timeGetTime() - before;
    EXPECT_GE(elapsed, 30u);
    EXPECT_LT(elapsed, 10000u);
}

}  // namespace platform_contract
