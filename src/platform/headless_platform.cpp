#include "platform/headless_platform.h"

#define EGL_NO_X11
#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/host_files.h"

struct HeadlessPlatform::Window {
    std::string className;
    std::string title;
    std::uint32_t style = 0;
    std::uint32_t exStyle = 0;
    int width = 0;
    int height = 0;
    bool destroyed = false;
    bool visible = false;
    bool dcReleased = false;
    int pixelFormat = 0;
    EGLSurface surface = EGL_NO_SURFACE;
    WindowProcedure procedure = nullptr;
};

struct HeadlessPlatform::Context {
    EGLContext context = EGL_NO_CONTEXT;
    bool deleted = false;
};

namespace {

struct EglDisplay {
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLConfig config = nullptr;
};

// One surfaceless display for the whole process, made on first use.
const EglDisplay& eglDisplay() {
    static const EglDisplay shared = [] {
        EglDisplay made;
        auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
            eglGetProcAddress("eglGetPlatformDisplayEXT"));
        if (getPlatformDisplay == nullptr) {
            std::fputs("EGL has no eglGetPlatformDisplayEXT\n", stderr);
            return made;
        }
        made.display =
            getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
        if (made.display == EGL_NO_DISPLAY || !eglInitialize(made.display, nullptr, nullptr) ||
            !eglBindAPI(EGL_OPENGL_API)) {
            std::fputs("Can't initialise the surfaceless EGL display\n", stderr);
            made.display = EGL_NO_DISPLAY;
            return made;
        }
        const EGLint attributes[] = {EGL_SURFACE_TYPE,
                                     EGL_PBUFFER_BIT,
                                     EGL_RENDERABLE_TYPE,
                                     EGL_OPENGL_BIT,
                                     EGL_RED_SIZE,
                                     8,
                                     EGL_GREEN_SIZE,
                                     8,
                                     EGL_BLUE_SIZE,
                                     8,
                                     EGL_ALPHA_SIZE,
                                     8,
                                     EGL_DEPTH_SIZE,
                                     16,
                                     EGL_NONE};
        EGLint count = 0;
        if (!eglChooseConfig(made.display, attributes, &made.config, 1, &count) || count < 1) {
            std::fputs("No EGL pbuffer configuration for OpenGL\n", stderr);
            made.display = EGL_NO_DISPLAY;
        }
        return made;
    }();
    return shared;
}

int defaultAnswer(std::uint32_t type) {
    return (type & win32::MB_TYPEMASK) == win32::MB_YESNO ? win32::IDYES : win32::IDOK;
}

}  // namespace

HeadlessPlatform::HeadlessPlatform() = default;

HeadlessPlatform::~HeadlessPlatform() {
    const EglDisplay& egl = eglDisplay();
    if (egl.display == EGL_NO_DISPLAY) {
        return;
    }
    eglMakeCurrent(egl.display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    for (auto& context : contexts_) {
        if (!context->deleted) {
            eglDestroyContext(egl.display, context->context);
        }
    }
    for (auto& window : windows_) {
        if (window->surface != EGL_NO_SURFACE) {
            eglDestroySurface(egl.display, window->surface);
        }
    }
}

void HeadlessPlatform::queueMessages(std::vector<WindowMessage> batch) {
    script_.push_back(std::move(batch));
}

void HeadlessPlatform::queueKeyPress(int virtualKey) {
    const auto key = static_cast<std::uintptr_t>(virtualKey);
    queueMessages({{nullptr, win32::WM_KEYDOWN, key, 0}});
    queueMessages({{nullptr, win32::WM_KEYUP, key, 0}});
}

void HeadlessPlatform::failOperation(const std::string& name, int times, int succeedFirst) {
    failures_[name] = {succeedFirst, times};
}

bool HeadlessPlatform::called(const char* name) {
    calls.emplace_back(name);
    if (onCall) {
        onCall(name);
    }
    auto failure = failures_.find(name);
    if (failure == failures_.end() || failure->second.times == 0) {
        return false;
    }
    if (failure->second.succeedFirst > 0) {
        --failure->second.succeedFirst;
        return false;
    }
    if (failure->second.times > 0) {
        --failure->second.times;
    }
    return true;
}

HeadlessPlatform::Window* HeadlessPlatform::findWindow(WindowHandle handle) const {
    for (const auto& window : windows_) {
        if (window.get() == handle && !window->destroyed) {
            return window.get();
        }
    }
    return nullptr;
}

HeadlessPlatform::Window* HeadlessPlatform::windowOfDc(DeviceContextHandle dc) const {
    Window* window = findWindow(dc);
    return (window != nullptr && !window->dcReleased) ? window : nullptr;
}

WindowHandle HeadlessPlatform::latestWindow() const {
    for (auto it = windows_.rbegin(); it != windows_.rend(); ++it) {
        if (!(*it)->destroyed) {
            return it->get();
        }
    }
    return nullptr;
}

std::string HeadlessPlatform::windowTitle(WindowHandle handle) const {
    const Window* window = findWindow(handle);
    return window ? window->title : std::string();
}

std::size_t HeadlessPlatform::liveWindowCount() const {
    return static_cast<std::size_t>(std::count_if(windows_.begin(), windows_.end(),
                                                  [](const auto& w) { return !w->destroyed; }));
}

InstanceHandle HeadlessPlatform::getModuleHandle() {
    called("GetModuleHandleA");
    return &instanceToken_;
}

bool HeadlessPlatform::registerClass(const WindowClass& windowClass) {
    if (called("RegisterClassA") || windowClass.className == nullptr ||
        classes_.count(windowClass.className) != 0) {
        return false;
    }
    classes_[windowClass.className] = windowClass.procedure;
    return true;
}

bool HeadlessPlatform::unregisterClass(const char* className, InstanceHandle) {
    if (called("UnregisterClassA")) {
        return false;
    }
    return classes_.erase(className) == 1;
}

std::int32_t HeadlessPlatform::changeDisplaySettings(const DisplayMode* mode, std::uint32_t) {
    if (called("ChangeDisplaySettingsA")) {
        return win32::DISP_CHANGE_BADMODE;
    }
    if (mode == nullptr) {
        displayChanged_ = false;
        return win32::DISP_CHANGE_SUCCESSFUL;
    }
    const bool offered = std::any_of(displayModes.begin(), displayModes.end(), [&](const auto& m) {
        return static_cast<std::uint32_t>(m.first) == mode->pelsWidth &&
               static_cast<std::uint32_t>(m.second) == mode->pelsHeight;
    });
    if (!offered) {
        return win32::DISP_CHANGE_BADMODE;
    }
    displayChanged_ = true;
    return win32::DISP_CHANGE_SUCCESSFUL;
}

int HeadlessPlatform::showCursor(bool show) {
    called("ShowCursor");
    cursorVisibility += show ? 1 : -1;
    return cursorVisibility;
}

bool HeadlessPlatform::adjustWindowRectEx(WindowRect&, std::uint32_t, bool, std::uint32_t) {
    // Headless windows have no frame: the window rectangle is the client rectangle.
    return !called("AdjustWindowRectEx");
}

WindowHandle HeadlessPlatform::createWindowEx(std::uint32_t exStyle, const char* className,
                                              const char* title, std::uint32_t style, int, int,
                                              int width, int height, InstanceHandle) {
    if (called("CreateWindowExA")) {
        return nullptr;
    }
    auto registered = classes_.find(className ? className : "");
    if (registered == classes_.end() || width <= 0 || height <= 0) {
        return nullptr;
    }
    auto window = std::make_unique<Window>();
    window->className = className;
    window->title = title ? title : "";
    window->style = style;
    window->exStyle = exStyle;
    window->width = width;
    window->height = height;
    window->procedure = registered->second;
    titles.push_back(window->title);
    windows_.push_back(std::move(window));
    return windows_.back().get();
}

bool HeadlessPlatform::destroyWindow(WindowHandle handle) {
    if (called("DestroyWindow")) {
        return false;
    }
    Window* window = findWindow(handle);
    if (window == nullptr) {
        return false;
    }
    window->destroyed = true;
    if (window->surface != EGL_NO_SURFACE) {
        eglDestroySurface(eglDisplay().display, window->surface);
        window->surface = EGL_NO_SURFACE;
    }
    if (focus_ == handle) {
        focus_ = nullptr;
    }
    return true;
}

bool HeadlessPlatform::showWindow(WindowHandle handle, int) {
    called("ShowWindow");
    Window* window = findWindow(handle);
    const bool wasVisible = window && window->visible;
    if (window) {
        window->visible = true;
    }
    return wasVisible;
}

bool HeadlessPlatform::setForegroundWindow(WindowHandle handle) {
    return !called("SetForegroundWindow") && findWindow(handle) != nullptr;
}

WindowHandle HeadlessPlatform::setFocus(WindowHandle handle) {
    called("SetFocus");
    WindowHandle previous = focus_;
    if (findWindow(handle)) {
        focus_ = handle;
    }
    return previous;
}

WindowHandle HeadlessPlatform::getFocus() {
    called("GetFocus");
    return focus_;
}

bool HeadlessPlatform::setWindowText(WindowHandle handle, const char* text) {
    if (called("SetWindowTextA")) {
        return false;
    }
    Window* window = findWindow(handle);
    if (window == nullptr) {
        return false;
    }
    window->title = text;
    titles.push_back(window->title);
    return true;
}

DeviceContextHandle HeadlessPlatform::getDC(WindowHandle handle) {
    if (called("GetDC")) {
        return nullptr;
    }
    Window* window = findWindow(handle);
    if (window == nullptr) {
        return nullptr;
    }
    window->dcReleased = false;
    return window;  // CS_OWNDC: one device context per window
}

bool HeadlessPlatform::releaseDC(WindowHandle handle, DeviceContextHandle dc) {
    if (called("ReleaseDC")) {
        return false;
    }
    Window* window = findWindow(handle);
    if (window == nullptr || dc != handle || window->dcReleased) {
        return false;
    }
    window->dcReleased = true;
    return true;
}

int HeadlessPlatform::choosePixelFormat(DeviceContextHandle dc, const PixelFormatDescriptor&) {
    if (called("ChoosePixelFormat") || windowOfDc(dc) == nullptr) {
        return 0;
    }
    return 1;
}

bool HeadlessPlatform::setPixelFormat(DeviceContextHandle dc, int format,
                                      const PixelFormatDescriptor&) {
    if (called("SetPixelFormat")) {
        return false;
    }
    Window* window = windowOfDc(dc);
    const EglDisplay& egl = eglDisplay();
    if (window == nullptr || format != 1 || window->pixelFormat != 0 ||
        egl.display == EGL_NO_DISPLAY) {
        return false;
    }
    const EGLint attributes[] = {EGL_WIDTH, window->width, EGL_HEIGHT, window->height, EGL_NONE};
    window->surface = eglCreatePbufferSurface(egl.display, egl.config, attributes);
    if (window->surface == EGL_NO_SURFACE) {
        return false;
    }
    window->pixelFormat = format;
    return true;
}

RenderingContextHandle HeadlessPlatform::createContext(DeviceContextHandle dc) {
    if (called("wglCreateContext")) {
        return nullptr;
    }
    const Window* window = windowOfDc(dc);
    const EglDisplay& egl = eglDisplay();
    if (window == nullptr || window->pixelFormat == 0) {
        return nullptr;
    }
    const EGLint compatibility[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                    EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
    EGLContext context = eglCreateContext(egl.display, egl.config, EGL_NO_CONTEXT, compatibility);
    if (context == EGL_NO_CONTEXT) {
        return nullptr;
    }
    contexts_.push_back(std::make_unique<Context>(Context{context, false}));
    return contexts_.back().get();
}

bool HeadlessPlatform::makeCurrent(DeviceContextHandle dc, RenderingContextHandle handle) {
    if (called("wglMakeCurrent")) {
        return false;
    }
    const EglDisplay& egl = eglDisplay();
    if (dc == nullptr && handle == nullptr) {
        return eglMakeCurrent(egl.display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    }
    const Window* window = windowOfDc(dc);
    auto* context = static_cast<Context*>(handle);
    const bool known = std::any_of(contexts_.begin(), contexts_.end(),
                                   [&](const auto& c) { return c.get() == context; });
    if (window == nullptr || window->surface == EGL_NO_SURFACE || !known || context->deleted) {
        return false;
    }
    return eglMakeCurrent(egl.display, window->surface, window->surface, context->context);
}

bool HeadlessPlatform::deleteContext(RenderingContextHandle handle) {
    if (called("wglDeleteContext")) {
        return false;
    }
    auto* context = static_cast<Context*>(handle);
    const bool known = std::any_of(contexts_.begin(), contexts_.end(),
                                   [&](const auto& c) { return c.get() == context; });
    if (!known || context->deleted) {
        return false;
    }
    const EglDisplay& egl = eglDisplay();
    if (eglGetCurrentContext() == context->context) {
        eglMakeCurrent(egl.display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    }
    context->deleted = true;
    return eglDestroyContext(egl.display, context->context);
}

bool HeadlessPlatform::swapBuffers(DeviceContextHandle dc) {
    if (called("SwapBuffers")) {
        return false;
    }
    const Window* window = windowOfDc(dc);
    return window != nullptr && eglSwapBuffers(eglDisplay().display, window->surface);
}

void* HeadlessPlatform::getProcAddress(const char* name) {
    called("wglGetProcAddress");
    if (missingProcs.count(name) != 0) {
        return nullptr;
    }
    return reinterpret_cast<void*>(eglGetProcAddress(name));
}

bool HeadlessPlatform::peekMessage(WindowMessage& message) {
    called("PeekMessageA");
    if (!batchOpen_) {
        if (script_.empty()) {
            // The script is used up: the loop ends as if the window had been closed.
            message = WindowMessage{nullptr, win32::WM_QUIT,
                                    static_cast<std::uintptr_t>(quitPosted_ ? quitCode_ : 0), 0};
            quitPosted_ = false;
            return true;
        }
        batchOpen_ = true;
    }
    if (!script_.front().empty()) {
        message = script_.front().front();
        script_.front().erase(script_.front().begin());
        if (message.window == nullptr) {
            message.window = latestWindow();
        }
        return true;
    }
    if (quitPosted_) {
        quitPosted_ = false;
        message = WindowMessage{nullptr, win32::WM_QUIT, static_cast<std::uintptr_t>(quitCode_), 0};
        return true;
    }
    // This pass's batch is done: the queue is empty until the next pass opens the next batch.
    script_.pop_front();
    batchOpen_ = false;
    return false;
}

bool HeadlessPlatform::translateMessage(const WindowMessage&) {
    called("TranslateMessage");
    return false;
}

std::intptr_t HeadlessPlatform::dispatchMessage(const WindowMessage& message) {
    called("DispatchMessageA");
    const Window* window = findWindow(message.window);
    if (window == nullptr || window->procedure == nullptr) {
        return 0;
    }
    return window->procedure(message.window, message.message, message.wParam, message.lParam);
}

std::intptr_t HeadlessPlatform::defWindowProc(WindowHandle window, std::uint32_t message,
                                              std::uintptr_t wParam, std::intptr_t) {
    called("DefWindowProcA");
    // The one default action the viewer relies on: a close command asks to close the window.
    if (message == win32::WM_SYSCOMMAND && (wParam & 0xFFF0) == win32::SC_CLOSE) {
        Window* target = findWindow(window);
        if (target && target->procedure) {
            return target->procedure(window, win32::WM_CLOSE, 0, 0);
        }
    }
    return 0;
}

void HeadlessPlatform::postQuitMessage(int exitCode) {
    called("PostQuitMessage");
    quitPosted_ = true;
    quitCode_ = exitCode;
}

int HeadlessPlatform::messageBox(WindowHandle owner, const char* text, const char* caption,
                                 std::uint32_t type) {
    called("MessageBoxA");
    messageBoxes.push_back({owner, text ? text : "", caption ? caption : "", type});
    if (messageBoxAnswers.empty()) {
        return defaultAnswer(type);
    }
    const int answer = messageBoxAnswers.front();
    messageBoxAnswers.pop_front();
    return answer;
}

bool HeadlessPlatform::getCursorPos(CursorPoint& point) {
    if (called("GetCursorPos")) {
        return false;
    }
    point = cursor;
    return true;
}

bool HeadlessPlatform::setCursorPos(int x, int y) {
    if (called("SetCursorPos")) {
        return false;
    }
    cursor = {x, y};
    cursorMoves.push_back(cursor);
    return true;
}

std::int16_t HeadlessPlatform::getKeyState(int virtualKey) {
    called("GetKeyState");
    return keyStates[static_cast<std::size_t>(virtualKey) & 0xFF];
}

std::uint32_t HeadlessPlatform::timeGetTime() {
    called("timeGetTime");
    if (!clockReadings.empty()) {
        clock_ = clockReadings.front();
        clockReadings.pop_front();
    } else {
        clock_ += clockStep;
    }
    return clock_;
}

void HeadlessPlatform::advanceClock(std::uint32_t milliseconds) {
    clock_ += milliseconds;
}

std::uint32_t HeadlessPlatform::getCurrentDirectory(std::uint32_t bufferSize, char* buffer) {
    if (called("GetCurrentDirectoryA")) {
        return 0;
    }
    return answerCurrentDirectory(currentDirectory.empty() ? workingDirectory() : currentDirectory,
                                  bufferSize, buffer);
}
