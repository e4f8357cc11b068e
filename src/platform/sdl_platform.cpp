#include "platform/sdl_platform.h"

#include <SDL2/SDL.h>

#include <cstdio>
#include <span>
#include <string_view>
#include <utility>

#include "platform/host_files.h"

struct SdlPlatform::Window {
    SDL_Window* sdl = nullptr;
    WindowProcedure procedure = nullptr;
    bool dcReleased = false;
    bool minimised = false;
    int pixelFormat = 0;
};

namespace {

// Windows virtual-key codes and the SDL keys they stand for.
struct KeyPair {
    int virtualKey;
    SDL_Keycode key;
};

const std::vector<KeyPair>& keyPairs() {
    static const std::vector<KeyPair> pairs = [] {
        std::vector<KeyPair> made = {
            {0x08, SDLK_BACKSPACE}, {0x09, SDLK_TAB},    {0x0D, SDLK_RETURN}, {0x10, SDLK_LSHIFT},
            {0x10, SDLK_RSHIFT},    {0x11, SDLK_LCTRL},  {0x11, SDLK_RCTRL},  {0x12, SDLK_LALT},
            {0x12, SDLK_RALT},      {0x1B, SDLK_ESCAPE}, {0x20, SDLK_SPACE},  {0x25, SDLK_LEFT},
            {0x26, SDLK_UP},        {0x27, SDLK_RIGHT},  {0x28, SDLK_DOWN}};
        for (int letter = 0; letter < 26; ++letter) {
            made.push_back({'A' + letter, SDLK_a + letter});
        }
        for (int digit = 0; digit < 10; ++digit) {
            made.push_back({'0' + digit, SDLK_0 + digit});
        }
        for (int function = 0; function < 12; ++function) {
            made.push_back({0x70 + function, SDLK_F1 + function});
        }
        return made;
    }();
    return pairs;
}

// With NumLock off, the keypad's digits are the keys printed beside them; of those the arrows have
// codes here.
constexpr KeyPair keypadArrows[] = {{win32::VK_UP, SDLK_KP_8},
                                    {win32::VK_DOWN, SDLK_KP_2},
                                    {win32::VK_LEFT, SDLK_KP_4},
                                    {win32::VK_RIGHT, SDLK_KP_6}};

// 0 to 9 for a keypad digit, -1 for any other key.
int keypadDigit(SDL_Keycode key) {
    if (key == SDLK_KP_0) {
        return 0;
    }
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9) {
        return key - SDLK_KP_1 + 1;
    }
    return -1;
}

int virtualKeyIn(std::span<const KeyPair> pairs, SDL_Keycode key) {
    for (const KeyPair& pair : pairs) {
        if (pair.key == key) {
            return pair.virtualKey;
        }
    }
    return 0;
}

bool numLockOn(std::uint16_t modifiers) {
    return (modifiers & KMOD_NUM) != 0;
}

std::uint32_t messageBoxIcon(std::uint32_t type) {
    switch (type & win32::MB_ICONMASK) {
        case win32::MB_ICONSTOP:
            return SDL_MESSAGEBOX_ERROR;
        case win32::MB_ICONEXCLAMATION:
            return SDL_MESSAGEBOX_WARNING;
        default:
            return SDL_MESSAGEBOX_INFORMATION;
    }
}

}  // namespace

int virtualKeyOf(std::int32_t sdlKey, bool numLock) {
    const int digit = keypadDigit(sdlKey);
    if (digit < 0) {
        return virtualKeyIn(keyPairs(), sdlKey);
    }
    return numLock ? win32::VK_NUMPAD0 + digit : virtualKeyIn(keypadArrows, sdlKey);
}

std::string messageBoxLine(const char* caption, const char* text) {
    // A break at the very end only ends the text; "\r\n" is one break, as on Windows.
    std::string_view body(text);
    if (body.ends_with('\n')) {
        body.remove_suffix(1);
    }
    if (body.ends_with('\r')) {
        body.remove_suffix(1);
    }
    std::string line = std::string(caption) + ": ";
    for (std::size_t i = 0; i < body.size(); ++i) {
        const bool returnBeforeNewline =
            body[i] == '\r' && i + 1 < body.size() && body[i + 1] == '\n';
        if (!returnBeforeNewline) {
            line += body[i] == '\n' || body[i] == '\r' ? ' ' : body[i];
        }
    }
    return line;
}

SdlPlatform::SdlPlatform() = default;

SdlPlatform::~SdlPlatform() {
    for (auto& window : windows_) {
        if (window->sdl != nullptr) {
            SDL_DestroyWindow(window->sdl);
        }
    }
    if (videoStarted_) {
        SDL_Quit();
    }
}

bool SdlPlatform::videoReady() {
    if (!videoStarted_ && !videoFailed_) {
        // The screen saver stays off while the viewer runs, as on its original host.
        SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "0");
        SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
        videoStarted_ = SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER) == 0;
        videoFailed_ = !videoStarted_;
        if (videoFailed_) {
            std::fprintf(stderr, "SDL: %s\n", SDL_GetError());
        }
    }
    return videoStarted_;
}

SdlPlatform::Window* SdlPlatform::findWindow(WindowHandle handle) const {
    for (const auto& window : windows_) {
        if (window.get() == handle && window->sdl != nullptr) {
            return window.get();
        }
    }
    return nullptr;
}

SdlPlatform::Window* SdlPlatform::windowOfSdl(std::uint32_t sdlWindowId) const {
    for (const auto& window : windows_) {
        if (window->sdl != nullptr && SDL_GetWindowID(window->sdl) == sdlWindowId) {
            return window.get();
        }
    }
    return nullptr;
}

InstanceHandle SdlPlatform::getModuleHandle() {
    return &instanceToken_;
}

bool SdlPlatform::registerClass(const WindowClass& windowClass) {
    if (windowClass.className == nullptr || classes_.count(windowClass.className) != 0) {
        return false;
    }
    classes_[windowClass.className] = windowClass.procedure;
    return true;
}

bool SdlPlatform::unregisterClass(const char* className, InstanceHandle) {
    return classes_.erase(className) == 1;
}

std::int32_t SdlPlatform::changeDisplaySettings(const DisplayMode* mode, std::uint32_t) {
    if (mode == nullptr) {
        fullscreenModeSet_ = false;
        return win32::DISP_CHANGE_SUCCESSFUL;
    }
    if (!videoReady()) {
        return win32::DISP_CHANGE_BADMODE;
    }
    // Any colour depth will do: current displays offer no 16-bit modes.
    const int count = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode offered;
        if (SDL_GetDisplayMode(0, i, &offered) == 0 &&
            static_cast<std::uint32_t>(offered.w) == mode->pelsWidth &&
            static_cast<std::uint32_t>(offered.h) == mode->pelsHeight) {
            fullscreenModeSet_ = true;
            return win32::DISP_CHANGE_SUCCESSFUL;
        }
    }
    return win32::DISP_CHANGE_BADMODE;
}

int SdlPlatform::showCursor(bool show) {
    cursorCounter_ += show ? 1 : -1;
    if (videoStarted_) {
        SDL_ShowCursor(cursorCounter_ >= 0 ? SDL_ENABLE : SDL_DISABLE);
    }
    return cursorCounter_;
}

bool SdlPlatform::adjustWindowRectEx(WindowRect&, std::uint32_t, bool, std::uint32_t) {
    // SDL sizes a window by its client area, so the window rectangle is the client rectangle.
    return true;
}

WindowHandle SdlPlatform::createWindowEx(std::uint32_t, const char* className, const char* title,
                                         std::uint32_t style, int x, int y, int width, int height,
                                         InstanceHandle) {
    auto registered = classes_.find(className ? className : "");
    if (registered == classes_.end() || !videoReady()) {
        return nullptr;
    }
    // The visual is fixed when the window is made: double-buffered RGBA with a 16-bit depth buffer.
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    std::uint32_t flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    if ((style & win32::WS_THICKFRAME) != 0) {
        flags |= SDL_WINDOW_RESIZABLE;
    }
    const bool fullscreen = (style & win32::WS_POPUP) != 0 && fullscreenModeSet_;
    if (fullscreen) {
        flags |= SDL_WINDOW_FULLSCREEN;
    }
    SDL_Window* sdl = SDL_CreateWindow(title, x, y, width, height, flags);
    if (sdl == nullptr) {
        std::fprintf(stderr, "SDL: %s\n", SDL_GetError());
        return nullptr;
    }
    if (fullscreen) {
        SDL_DisplayMode mode{SDL_PIXELFORMAT_UNKNOWN, width, height, 0, nullptr};
        SDL_SetWindowDisplayMode(sdl, &mode);
    }
    auto window = std::make_unique<Window>();
    window->sdl = sdl;
    window->procedure = registered->second;
    windows_.push_back(std::move(window));
    return windows_.back().get();
}

bool SdlPlatform::destroyWindow(WindowHandle handle) {
    Window* window = findWindow(handle);
    if (window == nullptr) {
        return false;
    }
    SDL_DestroyWindow(window->sdl);
    window->sdl = nullptr;
    if (focus_ == handle) {
        focus_ = nullptr;
    }
    return true;
}

bool SdlPlatform::showWindow(WindowHandle handle, int) {
    Window* window = findWindow(handle);
    if (window == nullptr) {
        return false;
    }
    const bool wasVisible = (SDL_GetWindowFlags(window->sdl) & SDL_WINDOW_SHOWN) != 0;
    SDL_ShowWindow(window->sdl);
    return wasVisible;
}

bool SdlPlatform::setForegroundWindow(WindowHandle handle) {
    Window* window = findWindow(handle);
    if (window == nullptr) {
        return false;
    }
    SDL_RaiseWindow(window->sdl);
    return true;
}

WindowHandle SdlPlatform::setFocus(WindowHandle handle) {
    WindowHandle previous = focus_;
    if (Window* window = findWindow(handle)) {
        SDL_SetWindowInputFocus(window->sdl);
        focus_ = handle;
    }
    return previous;
}

WindowHandle SdlPlatform::getFocus() {
    return findWindow(focus_) ? focus_ : nullptr;
}

bool SdlPlatform::setWindowText(WindowHandle handle, const char* text) {
    Window* window = findWindow(handle);
    if (window == nullptr) {
        return false;
    }
    SDL_SetWindowTitle(window->sdl, text);
    // A title shown while a scene loads must reach the screen before the loading goes on.
    SDL_PumpEvents();
    return true;
}

DeviceContextHandle SdlPlatform::getDC(WindowHandle handle) {
    Window* window = findWindow(handle);
    if (window == nullptr) {
        return nullptr;
    }
    window->dcReleased = false;
    return window;  // one device context per window
}

bool SdlPlatform::releaseDC(WindowHandle handle, DeviceContextHandle dc) {
    Window* window = findWindow(handle);
    if (window == nullptr || dc != handle || window->dcReleased) {
        return false;
    }
    window->dcReleased = true;
    return true;
}

int SdlPlatform::choosePixelFormat(DeviceContextHandle dc, const PixelFormatDescriptor& request) {
    const std::uint32_t needed = win32::PFD_DRAW_TO_WINDOW | win32::PFD_SUPPORT_OPENGL;
    if (findWindow(dc) == nullptr || (request.dwFlags & needed) != needed ||
        request.iPixelType != win32::PFD_TYPE_RGBA) {
        return 0;
    }
    return 1;
}

bool SdlPlatform::setPixelFormat(DeviceContextHandle dc, int format, const PixelFormatDescriptor&) {
    Window* window = findWindow(dc);
    if (window == nullptr || format != 1 || window->pixelFormat != 0) {
        return false;
    }
    window->pixelFormat = format;
    return true;
}

RenderingContextHandle SdlPlatform::createContext(DeviceContextHandle dc) {
    Window* window = findWindow(dc);
    if (window == nullptr || window->pixelFormat == 0) {
        return nullptr;
    }
    SDL_GLContext context = SDL_GL_CreateContext(window->sdl);
    if (context == nullptr) {
        std::fprintf(stderr, "SDL: %s\n", SDL_GetError());
    }
    return context;
}

bool SdlPlatform::makeCurrent(DeviceContextHandle dc, RenderingContextHandle context) {
    if (dc == nullptr && context == nullptr) {
        return SDL_GL_MakeCurrent(nullptr, nullptr) == 0;
    }
    Window* window = findWindow(dc);
    return window != nullptr && context != nullptr && SDL_GL_MakeCurrent(window->sdl, context) == 0;
}

bool SdlPlatform::deleteContext(RenderingContextHandle context) {
    if (context == nullptr) {
        return false;
    }
    SDL_GL_DeleteContext(context);
    return true;
}

bool SdlPlatform::swapBuffers(DeviceContextHandle dc) {
    Window* window = findWindow(dc);
    if (window == nullptr) {
        return false;
    }
    SDL_GL_SwapWindow(window->sdl);
    return true;
}

void* SdlPlatform::getProcAddress(const char* name) {
    return SDL_GL_GetProcAddress(name);
}

void SdlPlatform::translateEvent(const SDL_Event& event) {
    const auto send = [this](Window* window, std::uint32_t message, std::uintptr_t wParam,
                             std::intptr_t lParam) {
        if (window != nullptr) {
            pending_.push_back({window, message, wParam, lParam});
        }
    };
    switch (event.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            const int virtualKey =
                virtualKeyOf(event.key.keysym.sym, numLockOn(event.key.keysym.mod));
            if (virtualKey == 0) {
                return;
            }
            // With Alt held (or for F10) Windows reports system keys, which the viewer ignores.
            const bool system = (event.key.keysym.mod & KMOD_ALT) != 0 || virtualKey == 0x79;
            const bool down = event.type == SDL_KEYDOWN;
            const std::uint32_t message = system
                                              ? (down ? win32::WM_SYSKEYDOWN : win32::WM_SYSKEYUP)
                                              : (down ? win32::WM_KEYDOWN : win32::WM_KEYUP);
            send(windowOfSdl(event.key.windowID), message, static_cast<std::uintptr_t>(virtualKey),
                 0);
            return;
        }
        case SDL_WINDOWEVENT: {
            Window* window = windowOfSdl(event.window.windowID);
            if (window == nullptr) {
                return;
            }
            const auto activate = [&](std::uint16_t state) {
                send(window, win32::WM_ACTIVATE,
                     static_cast<std::uintptr_t>(makeLong(state, window->minimised ? 1 : 0)), 0);
            };
            switch (event.window.event) {
                case SDL_WINDOWEVENT_MINIMIZED:
                    window->minimised = true;
                    activate(win32::WA_INACTIVE);
                    return;
                case SDL_WINDOWEVENT_RESTORED:
                case SDL_WINDOWEVENT_MAXIMIZED:
                    window->minimised = false;
                    activate(win32::WA_ACTIVE);
                    return;
                case SDL_WINDOWEVENT_FOCUS_GAINED:
                    focus_ = window;
                    activate(win32::WA_ACTIVE);
                    return;
                case SDL_WINDOWEVENT_FOCUS_LOST:
                    activate(win32::WA_INACTIVE);
                    return;
                case SDL_WINDOWEVENT_SIZE_CHANGED:
                    send(window, win32::WM_SIZE, 0,
                         makeLong(static_cast<std::uint16_t>(event.window.data1),
                                  static_cast<std::uint16_t>(event.window.data2)));
                    return;
                case SDL_WINDOWEVENT_CLOSE:
                    send(window, win32::WM_CLOSE, 0, 0);
                    return;
                default:
                    return;
            }
        }
        case SDL_QUIT:
            // A termination request from outside (a signal) closes the window like its close box.
            for (auto& window : windows_) {
                if (window->sdl != nullptr) {
                    send(window.get(), win32::WM_CLOSE, 0, 0);
                }
            }
            return;
        default:
            return;
    }
}

bool SdlPlatform::peekMessage(WindowMessage& message) {
    if (pending_.empty() && videoStarted_) {
        SDL_Event event;
        while (pending_.empty() && SDL_PollEvent(&event)) {
            translateEvent(event);
        }
    }
    if (!pending_.empty()) {
        message = pending_.front();
        pending_.pop_front();
        return true;
    }
    // The quit message comes when nothing else is waiting.
    if (quitPosted_) {
        quitPosted_ = false;
        message = WindowMessage{nullptr, win32::WM_QUIT, static_cast<std::uintptr_t>(quitCode_), 0};
        return true;
    }
    return false;
}

bool SdlPlatform::translateMessage(const WindowMessage&) {
    return false;
}

std::intptr_t SdlPlatform::dispatchMessage(const WindowMessage& message) {
    const Window* window = findWindow(message.window);
    if (window == nullptr || window->procedure == nullptr) {
        return 0;
    }
    return window->procedure(message.window, message.message, message.wParam, message.lParam);
}

std::intptr_t SdlPlatform::defWindowProc(WindowHandle window, std::uint32_t message,
                                         std::uintptr_t wParam, std::intptr_t) {
    if (message == win32::WM_SYSCOMMAND && (wParam & 0xFFF0) == win32::SC_CLOSE) {
        return dispatchMessage({window, win32::WM_CLOSE, 0, 0});
    }
    return 0;
}

void SdlPlatform::postQuitMessage(int exitCode) {
    quitPosted_ = true;
    quitCode_ = exitCode;
}

int SdlPlatform::messageBox(WindowHandle owner, const char* text, const char* caption,
                            std::uint32_t type) {
    std::fprintf(stderr, "%s\n", messageBoxLine(caption, text).c_str());
    std::fflush(stderr);

    const bool yesNo = (type & win32::MB_TYPEMASK) == win32::MB_YESNO;
    const SDL_MessageBoxButtonData yesNoButtons[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, win32::IDYES, "Yes"},
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, win32::IDNO, "No"}};
    const SDL_MessageBoxButtonData okButton[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT,
         win32::IDOK, "OK"}};
    const Window* ownerWindow = findWindow(owner);
    SDL_MessageBoxData box{};
    box.flags = messageBoxIcon(type) | SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT;
    box.window = ownerWindow ? ownerWindow->sdl : nullptr;
    box.title = caption;
    box.message = text;
    box.numbuttons = yesNo ? 2 : 1;
    box.buttons = yesNo ? yesNoButtons : okButton;

    int answer = 0;
    if (SDL_ShowMessageBox(&box, &answer) != 0 || answer < 0) {
        // No box could be shown (no display) or it was closed: the answer of Esc.
        return yesNo ? win32::IDNO : win32::IDOK;
    }
    return answer;
}

bool SdlPlatform::getCursorPos(CursorPoint& point) {
    if (!videoStarted_) {
        return false;
    }
    // On X11 SDL refreshes its global reading only on raw motion, which a pointer moved by another
    // client (xdotool, VNC servers, some tablet drivers) does not report: the reading stays stale.
    // The position that SDL keeps from the motion events of our window under the pointer follows
    // every pointer.
    SDL_Window* pointerWindow = SDL_GetMouseFocus();
    if (pointerWindow == nullptr) {
        SDL_GetGlobalMouseState(&point.x, &point.y);
        return true;
    }
    CursorPoint corner;
    SDL_GetWindowPosition(pointerWindow, &corner.x, &corner.y);
    SDL_GetMouseState(&point.x, &point.y);
    point.x += corner.x;
    point.y += corner.y;
    return true;
}

bool SdlPlatform::setCursorPos(int x, int y) {
    if (!videoStarted_ || SDL_WarpMouseGlobal(x, y) != 0) {
        return false;
    }
    // The warp's own motion event has arrived by now; taking it in at once lets the next reading
    // see the pointer where it was put, as on Windows, and not turn the view a second time.
    SDL_PumpEvents();
    return true;
}

std::int16_t SdlPlatform::getKeyState(int virtualKey) {
    if (!videoStarted_) {
        return 0;
    }
    int count = 0;
    const Uint8* state = SDL_GetKeyboardState(&count);
    const bool numLock = numLockOn(SDL_GetModState());
    for (int scancode = 0; scancode < count; ++scancode) {
        if (state[scancode] &&
            virtualKeyOf(SDL_GetKeyFromScancode(static_cast<SDL_Scancode>(scancode)), numLock) ==
                virtualKey) {
            return static_cast<std::int16_t>(0xFF80);  // the high bit of a SHORT: held
        }
    }
    return 0;
}

std::uint32_t SdlPlatform::timeGetTime() {
    videoReady();
    return SDL_GetTicks();
}

std::uint32_t SdlPlatform::getCurrentDirectory(std::uint32_t bufferSize, char* buffer) {
    return answerCurrentDirectory(workingDirectory(), bufferSize, buffer);
}
