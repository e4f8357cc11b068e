#include "platform/emulated_win32.h"

#include <unistd.h>

#include <cstdio>
#include <utility>

#include "text/printable_text.h"

namespace {

// The process's current directory; empty when it cannot be had.
std::string workingDirectory() {
    char directory[4096];
    return ::getcwd(directory, sizeof directory) ? std::string(directory) : std::string();
}

}  // namespace

EmulatedWin32::EmulatedWin32(Host& host) : host_(host) {}

EmulatedWin32::~EmulatedWin32() {
    for (const auto& [handle, context] : contexts_) {
        host_.deleteContext(context);
    }
    for (const auto& [handle, window] : windows_) {
        host_.destroySurface(window.surface);
    }
}

void* EmulatedWin32::newHandle() {
    return reinterpret_cast<void*>(++lastHandle_);
}

EmulatedWin32::Window* EmulatedWin32::findWindow(WindowHandle handle) {
    const auto found = windows_.find(handle);
    return found == windows_.end() ? nullptr : &found->second;
}

EmulatedWin32::Window* EmulatedWin32::windowOfDc(DeviceContextHandle dc) {
    Window* window = findWindow(dc);
    return window != nullptr && !window->dcReleased ? window : nullptr;
}

InstanceHandle EmulatedWin32::getModuleHandle() {
    return this;
}

bool EmulatedWin32::registerClass(const WindowClass& windowClass) {
    return windowClass.className != nullptr &&
           classes_.emplace(windowClass.className, windowClass.procedure).second;
}

bool EmulatedWin32::unregisterClass(const char* className, InstanceHandle) {
    return classes_.erase(className) == 1;
}

std::int32_t EmulatedWin32::changeDisplaySettings(const DisplayMode* mode, std::uint32_t) {
    if (mode == nullptr) {
        displayModeSwitched_ = false;
        return win32::DISP_CHANGE_SUCCESSFUL;
    }
    // Any colour depth will do: current displays offer no 16-bit modes.
    for (const Host::DisplaySize& size : host_.displayModes()) {
        if (static_cast<std::uint32_t>(size.width) == mode->pelsWidth &&
            static_cast<std::uint32_t>(size.height) == mode->pelsHeight) {
            displayModeSwitched_ = true;
            return win32::DISP_CHANGE_SUCCESSFUL;
        }
    }
    return win32::DISP_CHANGE_BADMODE;
}

int EmulatedWin32::showCursor(bool show) {
    cursorCounter_ += show ? 1 : -1;
    host_.showCursor(cursorCounter_ >= 0);
    return cursorCounter_;
}

bool EmulatedWin32::adjustWindowRectEx(WindowRect&, std::uint32_t, bool, std::uint32_t) {
    // A host sizes a surface by its drawable area: the window rectangle is the client rectangle.
    return true;
}

WindowHandle EmulatedWin32::createWindowEx(std::uint32_t, const char* className, const char* title,
                                           std::uint32_t style, int x, int y, int width, int height,
                                           InstanceHandle) {
    const auto registered = classes_.find(className != nullptr ? className : "");
    if (registered == classes_.end()) {
        return nullptr;
    }
    const Host::SurfaceStyle surfaceStyle{
        .fullscreen = (style & win32::WS_POPUP) != 0 && displayModeSwitched_,
        .resizable = (style & win32::WS_THICKFRAME) != 0};
    const Host::Surface surface = host_.createSurface(title, x, y, width, height, surfaceStyle);
    if (surface == nullptr) {
        return nullptr;
    }
    const WindowHandle handle = newHandle();
    windows_[handle] = Window{surface, registered->second};
    return handle;
}

bool EmulatedWin32::destroyWindow(WindowHandle handle) {
    const Window* window = findWindow(handle);
    if (window == nullptr) {
        return false;
    }
    host_.destroySurface(window->surface);
    windows_.erase(handle);
    focus_ = focus_ == handle ? nullptr : focus_;
    return true;
}

bool EmulatedWin32::showWindow(WindowHandle handle, int) {
    Window* window = findWindow(handle);
    if (window == nullptr) {
        return false;
    }
    host_.show(window->surface);
    return std::exchange(window->visible, true);
}

bool EmulatedWin32::setForegroundWindow(WindowHandle handle) {
    const Window* window = findWindow(handle);
    if (window != nullptr) {
        host_.raise(window->surface);
    }
    return window != nullptr;
}

WindowHandle EmulatedWin32::setFocus(WindowHandle handle) {
    const WindowHandle previous = focus_;
    if (const Window* window = findWindow(handle)) {
        host_.focus(window->surface);
        focus_ = handle;
    }
    return previous;
}

WindowHandle EmulatedWin32::getFocus() {
    return focus_;
}

bool EmulatedWin32::setWindowText(WindowHandle handle, const char* text) {
    const Window* window = findWindow(handle);
    if (window != nullptr) {
        host_.setTitle(window->surface, text);
    }
    return window != nullptr;
}

DeviceContextHandle EmulatedWin32::getDC(WindowHandle handle) {
    // A window of a CS_OWNDC class has one device context, handed out again after its release.
    Window* window = findWindow(handle);
    if (window != nullptr) {
        window->dcReleased = false;
    }
    return window != nullptr ? handle : nullptr;
}

bool EmulatedWin32::releaseDC(WindowHandle handle, DeviceContextHandle dc) {
    Window* window = windowOfDc(dc);
    if (window == nullptr || dc != handle) {
        return false;
    }
    window->dcReleased = true;
    return true;
}

int EmulatedWin32::choosePixelFormat(DeviceContextHandle dc, const PixelFormatDescriptor& request) {
    // Every host has the one format the viewer asks for: RGBA, double-buffered, for OpenGL.
    const std::uint32_t needed = win32::PFD_DRAW_TO_WINDOW | win32::PFD_SUPPORT_OPENGL;
    const bool served =
        (request.dwFlags & needed) == needed && request.iPixelType == win32::PFD_TYPE_RGBA;
    return windowOfDc(dc) != nullptr && served ? 1 : 0;
}

bool EmulatedWin32::setPixelFormat(DeviceContextHandle dc, int format,
                                   const PixelFormatDescriptor&) {
    // A window's pixel format is set once.
    Window* window = windowOfDc(dc);
    if (window == nullptr || format != 1 || window->pixelFormatSet) {
        return false;
    }
    window->pixelFormatSet = true;
    return true;
}

RenderingContextHandle EmulatedWin32::createContext(DeviceContextHandle dc) {
    const Window* window = windowOfDc(dc);
    const Host::GlContext context = window != nullptr && window->pixelFormatSet
                                        ? host_.createContext(window->surface)
                                        : nullptr;
    if (context == nullptr) {
        return nullptr;
    }
    const RenderingContextHandle handle = newHandle();
    contexts_[handle] = context;
    return handle;
}

bool EmulatedWin32::makeCurrent(DeviceContextHandle dc, RenderingContextHandle handle) {
    if (dc == nullptr && handle == nullptr) {
        return host_.makeCurrent(nullptr, nullptr);
    }
    const Window* window = windowOfDc(dc);
    const auto context = contexts_.find(handle);
    return window != nullptr && context != contexts_.end() &&
           host_.makeCurrent(window->surface, context->second);
}

bool EmulatedWin32::deleteContext(RenderingContextHandle handle) {
    const auto context = contexts_.find(handle);
    if (context == contexts_.end()) {
        return false;
    }
    const bool deleted = host_.deleteContext(context->second);
    contexts_.erase(context);
    return deleted;
}

bool EmulatedWin32::swapBuffers(DeviceContextHandle dc) {
    const Window* window = windowOfDc(dc);
    return window != nullptr && host_.swapBuffers(window->surface);
}

void* EmulatedWin32::getProcAddress(const char* name) {
    return host_.procAddress(name);
}

void EmulatedWin32::queueHostEvents() {
    std::vector<WindowMessage> events;
    host_.takeEvents(events);
    for (const WindowMessage& event : events) {
        const Host::Surface surface = event.window;  // the host names its surface there
        for (const auto& [handle, window] : windows_) {
            if (surface == nullptr || surface == window.surface) {
                messages_.push_back({handle, event.message, event.wParam, event.lParam});
            }
        }
    }
}

bool EmulatedWin32::peekMessage(WindowMessage& message) {
    if (messages_.empty()) {
        queueHostEvents();
    }
    // The quit message comes when nothing else is waiting.
    if (messages_.empty() && std::exchange(quitPosted_, false)) {
        messages_.push_back({nullptr, win32::WM_QUIT, static_cast<std::uintptr_t>(quitCode_), 0});
    }
    if (messages_.empty()) {
        return false;
    }
    message = messages_.front();
    messages_.pop_front();
    return true;
}

bool EmulatedWin32::translateMessage(const WindowMessage&) {
    // No message here has a character to make.
    return false;
}

std::intptr_t EmulatedWin32::dispatchMessage(const WindowMessage& message) {
    const Window* window = findWindow(message.window);
    if (window == nullptr || window->procedure == nullptr) {
        return 0;
    }
    return window->procedure(message.window, message.message, message.wParam, message.lParam);
}

std::intptr_t EmulatedWin32::defWindowProc(WindowHandle window, std::uint32_t message,
                                           std::uintptr_t wParam, std::intptr_t) {
    // The one default action the viewer relies on: a close command asks to close the window.
    const bool closeCommand =
        message == win32::WM_SYSCOMMAND && (wParam & 0xFFF0) == win32::SC_CLOSE;
    return closeCommand ? dispatchMessage({window, win32::WM_CLOSE, 0, 0}) : 0;
}

void EmulatedWin32::postQuitMessage(int exitCode) {
    quitPosted_ = true;
    quitCode_ = exitCode;
}

int EmulatedWin32::messageBox(WindowHandle owner, const char* text, const char* caption,
                              std::uint32_t type) {
    writeMessageBoxLine(caption, text);
    const Window* ownerWindow = findWindow(owner);
    return host_.messageBox(ownerWindow ? ownerWindow->surface : nullptr,
                            printableBoxText(text).c_str(), printableText(caption).c_str(), type);
}

bool EmulatedWin32::getCursorPos(CursorPoint& point) {
    return host_.readCursor(point);
}

bool EmulatedWin32::setCursorPos(int x, int y) {
    return host_.warpCursor(x, y);
}

std::int16_t EmulatedWin32::getKeyState(int virtualKey) {
    // The high bit of a SHORT: held.
    return host_.keyHeld(virtualKey) ? static_cast<std::int16_t>(0xFF80) : 0;
}

std::uint32_t EmulatedWin32::timeGetTime() {
    return host_.milliseconds();
}

std::uint32_t EmulatedWin32::getCurrentDirectory(std::uint32_t bufferSize, char* buffer) {
    return answerCurrentDirectory(workingDirectory(), bufferSize, buffer);
}
