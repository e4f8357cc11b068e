#pragma once
// The Windows backend: every operation is the Windows call it is named after, with the records of
// win32_types.h turned into their Windows counterparts and back.

#include "platform/platform.h"

class Win32Platform : public Platform {
  public:
    InstanceHandle getModuleHandle() override;
    bool registerClass(const WindowClass& windowClass) override;
    bool unregisterClass(const char* className, InstanceHandle instance) override;
    std::int32_t changeDisplaySettings(const DisplayMode* mode, std::uint32_t flags) override;
    int showCursor(bool show) override;
    bool adjustWindowRectEx(WindowRect& rect, std::uint32_t style, bool menu,
                            std::uint32_t exStyle) override;
    WindowHandle createWindowEx(std::uint32_t exStyle, const char* className, const char* title,
                                std::uint32_t style, int x, int y, int width, int height,
                                InstanceHandle instance) override;
    bool destroyWindow(WindowHandle window) override;
    bool showWindow(WindowHandle window, int command) override;
    bool setForegroundWindow(WindowHandle window) override;
    WindowHandle setFocus(WindowHandle window) override;
    WindowHandle getFocus() override;
    bool setWindowText(WindowHandle window, const char* text) override;
    DeviceContextHandle getDC(WindowHandle window) override;
    bool releaseDC(WindowHandle window, DeviceContextHandle dc) override;
    int choosePixelFormat(DeviceContextHandle dc, const PixelFormatDescriptor& request) override;
    bool setPixelFormat(DeviceContextHandle dc, int format,
                        const PixelFormatDescriptor& request) override;
    RenderingContextHandle createContext(DeviceContextHandle dc) override;
    bool makeCurrent(DeviceContextHandle dc, RenderingContextHandle context) override;
    bool deleteContext(RenderingContextHandle context) override;
    bool swapBuffers(DeviceContextHandle dc) override;
    void* getProcAddress(const char* name) override;
    bool peekMessage(WindowMessage& message) override;
    bool translateMessage(const WindowMessage& message) override;
    std::intptr_t dispatchMessage(const WindowMessage& message) override;
    std::intptr_t defWindowProc(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                std::intptr_t lParam) override;
    void postQuitMessage(int exitCode) override;
    int messageBox(WindowHandle owner, const char* text, const char* caption,
                   std::uint32_t type) override;
    bool getCursorPos(CursorPoint& point) override;
    bool setCursorPos(int x, int y) override;
    std::int16_t getKeyState(int virtualKey) override;
    std::uint32_t timeGetTime() override;
    std::uint32_t getCurrentDirectory(std::uint32_t bufferSize, char* buffer) override;
};
