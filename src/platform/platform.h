#pragma once
// The platform layer: one operation per system service that the viewer uses, shaped after the
// Windows call it stands for (named in each comment), with the same arguments and the same meaning
// of success and failure. The shell, the camera, the timer and the texture readers reach the system
// only here.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/win32_types.h"

class Platform {
  public:
    virtual ~Platform() = default;

    // Window class, display mode and window.
    virtual InstanceHandle getModuleHandle() = 0;                    // GetModuleHandleA(NULL)
    virtual bool registerClass(const WindowClass& windowClass) = 0;  // RegisterClassA
    virtual bool unregisterClass(const char* className,
                                 InstanceHandle instance) = 0;  // UnregisterClassA
    // ChangeDisplaySettingsA; a null mode restores the registry mode.
    virtual std::int32_t changeDisplaySettings(const DisplayMode* mode, std::uint32_t flags) = 0;
    virtual int showCursor(bool show) = 0;  // ShowCursor
    virtual bool adjustWindowRectEx(WindowRect& rect, std::uint32_t style, bool menu,
                                    std::uint32_t exStyle) = 0;  // AdjustWindowRectEx
    virtual WindowHandle createWindowEx(std::uint32_t exStyle, const char* className,
                                        const char* title, std::uint32_t style, int x, int y,
                                        int width, int height,
                                        InstanceHandle instance) = 0;       // CreateWindowExA
    virtual bool destroyWindow(WindowHandle window) = 0;                    // DestroyWindow
    virtual bool showWindow(WindowHandle window, int command) = 0;          // ShowWindow
    virtual bool setForegroundWindow(WindowHandle window) = 0;              // SetForegroundWindow
    virtual WindowHandle setFocus(WindowHandle window) = 0;                 // SetFocus
    virtual WindowHandle getFocus() = 0;                                    // GetFocus
    virtual bool setWindowText(WindowHandle window, const char* text) = 0;  // SetWindowTextA

    // Device context, pixel format and GL rendering context.
    virtual DeviceContextHandle getDC(WindowHandle window) = 0;               // GetDC
    virtual bool releaseDC(WindowHandle window, DeviceContextHandle dc) = 0;  // ReleaseDC
    virtual int choosePixelFormat(DeviceContextHandle dc,
                                  const PixelFormatDescriptor& request) = 0;  // ChoosePixelFormat
    virtual bool setPixelFormat(DeviceContextHandle dc, int format,
                                const PixelFormatDescriptor& request) = 0;     // SetPixelFormat
    virtual RenderingContextHandle createContext(DeviceContextHandle dc) = 0;  // wglCreateContext
    virtual bool makeCurrent(DeviceContextHandle dc,
                             RenderingContextHandle context) = 0;    // wglMakeCurrent
    virtual bool deleteContext(RenderingContextHandle context) = 0;  // wglDeleteContext
    virtual bool swapBuffers(DeviceContextHandle dc) = 0;            // SwapBuffers
    virtual void* getProcAddress(const char* name) = 0;              // wglGetProcAddress

    // Messages.
    virtual bool peekMessage(WindowMessage& message) = 0;  // PeekMessageA(any window, PM_REMOVE)
    virtual bool translateMessage(const WindowMessage& message) = 0;          // TranslateMessage
    virtual std::intptr_t dispatchMessage(const WindowMessage& message) = 0;  // DispatchMessageA
    virtual std::intptr_t defWindowProc(WindowHandle window, std::uint32_t message,
                                        std::uintptr_t wParam,
                                        std::intptr_t lParam) = 0;  // DefWindowProcA
    virtual void postQuitMessage(int exitCode) = 0;                 // PostQuitMessage
    // MessageBoxA: returns the button pressed (IDOK, IDYES, IDNO).
    virtual int messageBox(WindowHandle owner, const char* text, const char* caption,
                           std::uint32_t type) = 0;

    // Input, clock and current directory.
    virtual bool getCursorPos(CursorPoint& point) = 0;     // GetCursorPos, screen coordinates
    virtual bool setCursorPos(int x, int y) = 0;           // SetCursorPos
    virtual std::int16_t getKeyState(int virtualKey) = 0;  // GetKeyState: bit 0x80 = held
    virtual std::uint32_t timeGetTime() = 0;               // timeGetTime, milliseconds
    // GetCurrentDirectoryA: the length written (without the zero), the size needed when the
    // buffer is too small, 0 on failure.
    virtual std::uint32_t getCurrentDirectory(std::uint32_t bufferSize, char* buffer) = 0;
};

// The backend in use; set once by the program entry (or by a test) before anything else runs.
Platform& platform();
void usePlatform(Platform& backend);

// GetCurrentDirectoryA's answer for a directory name: copies it with its zero and gives its length
// when it fits in the buffer, else gives the size needed. An empty name (the directory could not be
// had) gives 0.
std::uint32_t answerCurrentDirectory(std::string_view directory, std::uint32_t bufferSize,
                                     char* buffer);

// Formats a title (vsprintf semantics, 512-byte buffer) and sets it on the window; does nothing
// without a window.
void setWindowTitle(WindowHandle window, const char* format, ...)
    __attribute__((format(printf, 2, 3)));
