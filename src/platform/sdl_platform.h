#pragma once
// The desktop backend on Linux, through SDL2: windows with an OpenGL context, the display mode,
// message boxes, the global cursor, the keyboard state and the clock. SDL's events arrive as the
// Windows messages the window procedure expects; every message box is also written to standard
// error as one "CAPTION: TEXT" line.

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"

struct SDL_Window;
union SDL_Event;

// The Windows virtual-key code of an SDL key code, 0 for a key without one here. As on Windows, the
// keypad's digits give VK_NUMPAD0 to VK_NUMPAD9 while NumLock is on; while it is off, its 8, 2, 4
// and 6 give the arrow keys.
int virtualKeyOf(std::int32_t sdlKey, bool numLock);

// The line that a message box writes to standard error: "CAPTION: TEXT" with the text's line breaks
// as spaces, a break at its very end dropped.
std::string messageBoxLine(const char* caption, const char* text);

class SdlPlatform : public Platform {
  public:
    SdlPlatform();
    ~SdlPlatform() override;

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

  private:
    struct Window;

    bool videoReady();
    Window* findWindow(WindowHandle handle) const;
    Window* windowOfSdl(std::uint32_t sdlWindowId) const;
    void translateEvent(const SDL_Event& event);

    bool videoStarted_ = false;
    bool videoFailed_ = false;
    bool fullscreenModeSet_ = false;
    int cursorCounter_ = 0;
    bool quitPosted_ = false;
    int quitCode_ = 0;
    int instanceToken_ = 0;
    WindowHandle focus_ = nullptr;
    std::map<std::string, WindowProcedure> classes_;
    std::vector<std::unique_ptr<Window>> windows_;
    std::deque<WindowMessage> pending_;
};
