#pragma once
// The platform layer: one operation per system service that the viewer uses, shaped after the
// Windows call it stands for, with the same arguments and the same meaning of success and failure.
// The shell, the camera, the timer and the texture readers reach the system only here.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/win32_types.h"

// Every operation: its result, name and parameters, and the Windows call it stands for. Where the
// call's meaning needs a word: changeDisplaySettings with a null mode restores the registry mode;
// peekMessage takes a message of any window and removes it; messageBox returns the button pressed
// (IDOK, IDYES, IDNO); getCursorPos reads screen coordinates; getKeyState sets bit 0x80 while the
// key is held; timeGetTime counts milliseconds; getCurrentDirectory returns the length written
// (without the zero), the size needed when the buffer is too small, 0 on failure.
#define PLATFORM_OPERATIONS(X)                                                                     \
    X(InstanceHandle, getModuleHandle, (), GetModuleHandleA)                                       \
    X(bool, registerClass, (const WindowClass& windowClass), RegisterClassA)                       \
    X(bool, unregisterClass, (const char* className, InstanceHandle instance), UnregisterClassA)   \
    X(std::int32_t, changeDisplaySettings, (const DisplayMode* mode, std::uint32_t flags),         \
      ChangeDisplaySettingsA)                                                                      \
    X(int, showCursor, (bool show), ShowCursor)                                                    \
    X(bool, adjustWindowRectEx,                                                                    \
      (WindowRect & rect, std::uint32_t style, bool menu, std::uint32_t exStyle),                  \
      AdjustWindowRectEx)                                                                          \
    X(WindowHandle, createWindowEx,                                                                \
      (std::uint32_t exStyle, const char* className, const char* title, std::uint32_t style,       \
       int x, int y, int width, int height, InstanceHandle instance),                              \
      CreateWindowExA)                                                                             \
    X(bool, destroyWindow, (WindowHandle window), DestroyWindow)                                   \
    X(bool, showWindow, (WindowHandle window, int command), ShowWindow)                            \
    X(bool, setForegroundWindow, (WindowHandle window), SetForegroundWindow)                       \
    X(WindowHandle, setFocus, (WindowHandle window), SetFocus)                                     \
    X(WindowHandle, getFocus, (), GetFocus)                                                        \
    X(bool, setWindowText, (WindowHandle window, const char* text), SetWindowTextA)                \
    X(DeviceContextHandle, getDC, (WindowHandle window), GetDC)                                    \
    X(bool, releaseDC, (WindowHandle window, DeviceContextHandle dc), ReleaseDC)                   \
    X(int, choosePixelFormat, (DeviceContextHandle dc, const PixelFormatDescriptor& request),      \
      ChoosePixelFormat)                                                                           \
    X(bool, setPixelFormat,                                                                        \
      (DeviceContextHandle dc, int format, const PixelFormatDescriptor& request), SetPixelFormat)  \
    X(RenderingContextHandle, createContext, (DeviceContextHandle dc), wglCreateContext)           \
    X(bool, makeCurrent, (DeviceContextHandle dc, RenderingContextHandle context), wglMakeCurrent) \
    X(bool, deleteContext, (RenderingContextHandle context), wglDeleteContext)                     \
    X(bool, swapBuffers, (DeviceContextHandle dc), SwapBuffers)                                    \
    X(void*, getProcAddress, (const char* name), wglGetProcAddress)                                \
    X(bool, peekMessage, (WindowMessage & message), PeekMessageA)                                  \
    X(bool, translateMessage, (const WindowMessage& message), TranslateMessage)                    \
    X(std::intptr_t, dispatchMessage, (const WindowMessage& message), DispatchMessageA)            \
    X(std::intptr_t, defWindowProc,                                                                \
      (WindowHandle window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam),   \
      DefWindowProcA)                                                                              \
    X(void, postQuitMessage, (int exitCode), PostQuitMessage)                                      \
    X(int, messageBox,                                                                             \
      (WindowHandle owner, const char* text, const char* caption, std::uint32_t type),             \
      MessageBoxA)                                                                                 \
    X(bool, getCursorPos, (CursorPoint & point), GetCursorPos)                                     \
    X(bool, setCursorPos, (int x, int y), SetCursorPos)                                            \
    X(std::int16_t, getKeyState, (int virtualKey), GetKeyState)                                    \
    X(std::uint32_t, timeGetTime, (), timeGetTime)                                                 \
    X(std::uint32_t, getCurrentDirectory, (std::uint32_t bufferSize, char* buffer),                \
      GetCurrentDirectoryA)

class Platform {
  public:
    virtual ~Platform() = default;

#define PLATFORM_PURE_VIRTUAL(result, name, parameters, windowsName) \
    virtual result name parameters = 0;
    PLATFORM_OPERATIONS(PLATFORM_PURE_VIRTUAL)
#undef PLATFORM_PURE_VIRTUAL
};

// Declares every operation in a backend: PLATFORM_OPERATIONS(PLATFORM_OVERRIDE).
#define PLATFORM_OVERRIDE(result, name, parameters, windowsName) result name parameters override;

// The backend in use; set once by the program entry (or by a test) before anything else runs.
Platform& platform();
void usePlatform(Platform& backend);

// GetCurrentDirectoryA's answer for a directory name: copies it with its zero and gives its length
// when it fits in the buffer, else gives the size needed. An empty name (the directory could not be
// had) gives 0.
std::uint32_t answerCurrentDirectory(std::string_view directory, std::uint32_t bufferSize,
                                     char* buffer);

// Formats a title (vsprintf semantics, 512-byte buffer) and sets it on the window with its control
// characters escaped, since titles carry names from files; does nothing without a window.
void setWindowTitle(WindowHandle window, const char* format, ...)
    __attribute__((format(printf, 2, 3)));
// The title setWindowTitle last set on this window; empty when it set none there.
std::string lastWindowTitle(WindowHandle window);

// The line that a message box writes to standard error: "CAPTION: TEXT" with the text's line breaks
// as spaces, a break at its very end dropped, and every other control character escaped.
std::string messageBoxLine(const char* caption, const char* text);
void writeMessageBoxLine(const char* caption, const char* text);

// A box's text as it is shown: its line breaks kept, every other control character escaped.
std::string printableBoxText(std::string_view text);

// The answer of a box that was closed without a button, or never shown: that of Esc.
int closedBoxAnswer(std::uint32_t type);

// The boxes that a scene load can repeat, one for each bad texture its files name, go through
// limitedMessageBox. While a MessageBoxLimit lives (the shell keeps one over each scene load), at
// most kShownBoxesPerCaption boxes of one caption are shown; the others only write their line to
// standard error, and when the limit ends one line "N more messages not shown" counts them. Outside
// a limit every box is shown.
inline constexpr int kShownBoxesPerCaption = 3;

class MessageBoxLimit {
  public:
    MessageBoxLimit();
    ~MessageBoxLimit();
    MessageBoxLimit(const MessageBoxLimit&) = delete;
    MessageBoxLimit& operator=(const MessageBoxLimit&) = delete;
};

int limitedMessageBox(WindowHandle owner, const char* text, const char* caption,
                      std::uint32_t type);
