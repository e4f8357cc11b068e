#include "platform/sdl_host.h"

#include <SDL2/SDL.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>

#include "platform/platform.h"
#include "text/printable_text.h"

// The window's icon, our own drawn at build time: PNG bytes, decoded once a window is made.
#include "window_icon_png.h"
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#include <stb/stb_image.h>

namespace {

// The keys whose Windows virtual-key codes do not follow from their SDL key codes. With NumLock
// off the keypad's digits are the keys printed beside them; of those the arrows have codes here.
struct KeyPair {
    int virtualKey;
    SDL_Keycode key;
};
constexpr KeyPair otherKeys[] = {
    {0x08, SDLK_BACKSPACE}, {0x09, SDLK_TAB},    {0x0D, SDLK_RETURN}, {0x10, SDLK_LSHIFT},
    {0x10, SDLK_RSHIFT},    {0x11, SDLK_LCTRL},  {0x11, SDLK_RCTRL},  {0x12, SDLK_LALT},
    {0x12, SDLK_RALT},      {0x1B, SDLK_ESCAPE}, {0x20, SDLK_SPACE},  {0x25, SDLK_LEFT},
    {0x26, SDLK_UP},        {0x27, SDLK_RIGHT},  {0x28, SDLK_DOWN},   {0x25, SDLK_KP_4},
    {0x26, SDLK_KP_8},      {0x27, SDLK_KP_6},   {0x28, SDLK_KP_2}};

std::uint32_t messageBoxIcon(std::uint32_t type) {
    const std::uint32_t icon = type & win32::MB_ICONMASK;
    return icon == win32::MB_ICONSTOP          ? SDL_MESSAGEBOX_ERROR
           : icon == win32::MB_ICONEXCLAMATION ? SDL_MESSAGEBOX_WARNING
                                               : SDL_MESSAGEBOX_INFORMATION;
}

SDL_Window* sdlWindow(Host::Surface surface) {
    return static_cast<SDL_Window*>(surface);
}

void reportSdlError() {
    std::fprintf(stderr, "SDL: %s\n", SDL_GetError());
}

const char* environmentValue(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? value : nullptr;
}

// Why no display can be used: the display variables that are set, none of which could be opened.
void reportNoDisplay() {
    std::string tried;
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
        if (const char* value = environmentValue(name)) {
            tried += (tried.empty() ? "" : ", ") + std::string(name) + "=" + printableText(value);
        }
    }
    if (tried.empty()) {
        std::fputs("orvalis: no display (DISPLAY and WAYLAND_DISPLAY are unset)\n", stderr);
    } else {
        std::fprintf(stderr, "orvalis: no display (%s cannot be opened)\n", tried.c_str());
    }
}

// The drivers of the displays that are named, X11 first as SDL has it: SDL tries no other, and so
// never falls back to one that shows nothing, nor prints the complaints of those that find nothing.
std::string driversOfTheDisplays() {
    std::string drivers = environmentValue("DISPLAY") ? "x11" : "";
    if (environmentValue("WAYLAND_DISPLAY")) {
        drivers += drivers.empty() ? "wayland" : ",wayland";
    }
    return drivers;
}

// SDL's video drivers that show nothing on any screen: it falls back to them when it finds no
// display, and a window there would run unseen until it is killed.
bool drawsNowhere(const char* driver) {
    return driver != nullptr &&
           (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
}

void setOurIcon(SDL_Window* window) {
    int width = 0;
    int height = 0;
    int channels = 0;
    stbi_uc* pixels =
        stbi_load_from_memory(kWindowIconPng, sizeof kWindowIconPng, &width, &height, &channels, 4);
    if (pixels == nullptr) {
        return;
    }
    if (SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(pixels, width, height, 32, width * 4,
                                                               SDL_PIXELFORMAT_RGBA32)) {
        SDL_SetWindowIcon(window, icon);
        SDL_FreeSurface(icon);
    }
    stbi_image_free(pixels);
}

// The children of the thread that shows a box, as Linux lists them: SDL shows the box in a process
// of its own, forked from that thread.
char boxThreadChildren[64];

// Ends the box's process and then this one, by the signal's default action (the handler is reset
// as it runs). Only async-signal-safe calls.
void endWithTheBox(int signal) {
    char list[256];
    ssize_t length = -1;
    if (const int file = ::open(boxThreadChildren, O_RDONLY); file >= 0) {
        length = ::read(file, list, sizeof list - 1);
        ::close(file);
    }
    pid_t child = 0;
    for (ssize_t i = 0; i < length; ++i) {
        if (list[i] >= '0' && list[i] <= '9') {
            child = child * 10 + (list[i] - '0');
        } else if (child > 0) {
            ::kill(child, SIGKILL);
            child = 0;
        }
    }
    ::raise(signal);
}

// SDL turns SIGINT and SIGTERM into a quit request, which the main loop takes as closing the
// window. While a box is open SDL runs the box's own loop and takes no events, so the request would
// wait for the user: for that time the two signals end the box and the process at once. A signal
// that the process was started to ignore stays ignored.
class TerminationSignalsEndProcess {
  public:
    TerminationSignalsEndProcess() {
        std::snprintf(boxThreadChildren, sizeof boxThreadChildren, "/proc/%d/task/%d/children",
                      static_cast<int>(::getpid()), static_cast<int>(::gettid()));
        struct sigaction ending {};
        ending.sa_handler = endWithTheBox;
        ending.sa_flags = SA_RESETHAND;
        for (std::size_t i = 0; i < std::size(kSignals); ++i) {
            sigaction(kSignals[i], nullptr, &saved_[i]);
            if (saved_[i].sa_handler != SIG_IGN) {
                sigaction(kSignals[i], &ending, nullptr);
            }
        }
    }
    ~TerminationSignalsEndProcess() {
        for (std::size_t i = 0; i < std::size(kSignals); ++i) {
            sigaction(kSignals[i], &saved_[i], nullptr);
        }
    }
    TerminationSignalsEndProcess(const TerminationSignalsEndProcess&) = delete;
    TerminationSignalsEndProcess& operator=(const TerminationSignalsEndProcess&) = delete;

  private:
    static constexpr int kSignals[] = {SIGINT, SIGTERM};
    struct sigaction saved_[std::size(kSignals)]{};
};

}  // namespace

int virtualKeyOf(std::int32_t sdlKey, bool numLock) {
    // Letters are their capitals, digits themselves, F1 to F12 in a row from VK_F1.
    if (sdlKey >= SDLK_a && sdlKey <= SDLK_z) {
        return 'A' + (sdlKey - SDLK_a);
    }
    if (sdlKey >= SDLK_0 && sdlKey <= SDLK_9) {
        return '0' + (sdlKey - SDLK_0);
    }
    if (sdlKey >= SDLK_F1 && sdlKey <= SDLK_F12) {
        return win32::VK_F1 + (sdlKey - SDLK_F1);
    }
    // The keypad's 1 to 9, then its 0.
    if (numLock && sdlKey >= SDLK_KP_1 && sdlKey <= SDLK_KP_0) {
        return win32::VK_NUMPAD0 + (sdlKey - SDLK_KP_1 + 1) % 10;
    }
    for (const KeyPair& pair : otherKeys) {
        if (pair.key == sdlKey) {
            return pair.virtualKey;
        }
    }
    return 0;
}

SdlHost::~SdlHost() {
    if (videoStarted_) {
        SDL_Quit();
    }
}

bool SdlHost::videoReady() {
    if (videoStarted_ || videoFailed_) {
        return videoStarted_;
    }
    videoFailed_ = true;
    const bool driverChosen = environmentValue("SDL_VIDEODRIVER") != nullptr;
    if (!driverChosen && !environmentValue("DISPLAY") && !environmentValue("WAYLAND_DISPLAY")) {
        reportNoDisplay();
        return false;
    }
    if (!driverChosen) {
        SDL_SetHint(SDL_HINT_VIDEODRIVER, driversOfTheDisplays().c_str());
    }
    // The screen saver stays off while the viewer runs, as on its original host.
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "0");
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    const bool started = SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER) == 0;
    if (driverChosen) {
        if (!started) {
            reportSdlError();
        }
    } else if (!started || drawsNowhere(SDL_GetCurrentVideoDriver())) {
        reportNoDisplay();
        if (started) {
            SDL_Quit();
        }
        return false;
    }
    videoStarted_ = started;
    videoFailed_ = !started;
    return started;
}

Host::Surface SdlHost::createSurface(const char* title, int x, int y, int width, int height,
                                     SurfaceStyle style) {
    if (!videoReady()) {
        return nullptr;
    }
    // The visual is fixed when the window is made: double-buffered RGBA with a 16-bit depth buffer.
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    const std::uint32_t flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN |
                                (style.resizable ? SDL_WINDOW_RESIZABLE : 0) |
                                (style.fullscreen ? SDL_WINDOW_FULLSCREEN : 0);
    SDL_Window* window = SDL_CreateWindow(title, x, y, width, height, flags);
    if (window == nullptr) {
        reportSdlError();
        return nullptr;
    }
    setOurIcon(window);
    if (style.fullscreen) {
        SDL_DisplayMode mode{SDL_PIXELFORMAT_UNKNOWN, width, height, 0, nullptr};
        SDL_SetWindowDisplayMode(window, &mode);
    }
    return window;
}

void SdlHost::destroySurface(Surface surface) {
    minimised_.erase(sdlWindow(surface));
    SDL_DestroyWindow(sdlWindow(surface));
}

void SdlHost::setTitle(Surface surface, const char* title) {
    SDL_SetWindowTitle(sdlWindow(surface), title);
    // A title shown while a scene loads must reach the screen before the loading goes on.
    SDL_PumpEvents();
}

void SdlHost::show(Surface surface) {
    SDL_ShowWindow(sdlWindow(surface));
}

void SdlHost::raise(Surface surface) {
    SDL_RaiseWindow(sdlWindow(surface));
}

void SdlHost::focus(Surface surface) {
    SDL_SetWindowInputFocus(sdlWindow(surface));
}

Host::GlContext SdlHost::createContext(Surface surface) {
    SDL_GLContext context = SDL_GL_CreateContext(sdlWindow(surface));
    if (context == nullptr) {
        reportSdlError();
    }
    return context;
}

bool SdlHost::makeCurrent(Surface surface, GlContext context) {
    return SDL_GL_MakeCurrent(sdlWindow(surface), context) == 0;
}

bool SdlHost::deleteContext(GlContext context) {
    SDL_GL_DeleteContext(context);
    return true;
}

bool SdlHost::swapBuffers(Surface surface) {
    SDL_GL_SwapWindow(sdlWindow(surface));
    return true;
}

void* SdlHost::procAddress(const char* name) {
    return SDL_GL_GetProcAddress(name);
}

std::vector<Host::DisplaySize> SdlHost::displayModes() {
    std::vector<DisplaySize> sizes;
    const int count = videoReady() ? SDL_GetNumDisplayModes(0) : 0;
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode offered;
        if (SDL_GetDisplayMode(0, i, &offered) == 0) {
            sizes.push_back({offered.w, offered.h});
        }
    }
    return sizes;
}

void SdlHost::translate(const SDL_Event& event, std::vector<WindowMessage>& messages) {
    if (event.type == SDL_QUIT) {
        // A termination request from outside (a signal) closes every window like its close box.
        messages.push_back({nullptr, win32::WM_CLOSE, 0, 0});
        return;
    }
    const bool key = event.type == SDL_KEYDOWN || event.type == SDL_KEYUP;
    const bool change = event.type == SDL_WINDOWEVENT;
    SDL_Window* window = key      ? SDL_GetWindowFromID(event.key.windowID)
                         : change ? SDL_GetWindowFromID(event.window.windowID)
                                  : nullptr;
    // Events of no window, or of one that is gone, concern no window.
    if (window == nullptr) {
        return;
    }
    const auto send = [&](std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
        messages.push_back({window, message, wParam, lParam});
    };
    if (key) {
        const int virtualKey =
            virtualKeyOf(event.key.keysym.sym, (event.key.keysym.mod & KMOD_NUM) != 0);
        // With Alt held (or for F10) Windows reports system keys, which the viewer ignores.
        const bool system = (event.key.keysym.mod & KMOD_ALT) != 0 || virtualKey == win32::VK_F10;
        const bool down = event.type == SDL_KEYDOWN;
        const std::uint32_t message = system ? (down ? win32::WM_SYSKEYDOWN : win32::WM_SYSKEYUP)
                                             : (down ? win32::WM_KEYDOWN : win32::WM_KEYUP);
        if (virtualKey != 0) {
            send(message, static_cast<std::uintptr_t>(virtualKey), 0);
        }
        return;
    }
    const auto activate = [&](std::uint16_t state) {
        const auto minimised = static_cast<std::uint16_t>(minimised_.count(window));
        send(win32::WM_ACTIVATE, static_cast<std::uintptr_t>(makeLong(state, minimised)), 0);
    };
    switch (event.window.event) {
        case SDL_WINDOWEVENT_MINIMIZED:
            minimised_.insert(window);
            [[fallthrough]];
        case SDL_WINDOWEVENT_FOCUS_LOST:
            activate(win32::WA_INACTIVE);
            return;
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_MAXIMIZED:
            minimised_.erase(window);
            [[fallthrough]];
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            activate(win32::WA_ACTIVE);
            return;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            send(win32::WM_SIZE, 0,
                 makeLong(static_cast<std::uint16_t>(event.window.data1),
                          static_cast<std::uint16_t>(event.window.data2)));
            return;
        case SDL_WINDOWEVENT_CLOSE:
            send(win32::WM_CLOSE, 0, 0);
            return;
        default:
            return;
    }
}

void SdlHost::takeEvents(std::vector<WindowMessage>& messages) {
    SDL_Event event;
    while (videoStarted_ && SDL_PollEvent(&event)) {
        translate(event, messages);
    }
}

int SdlHost::messageBox(Surface owner, const char* text, const char* caption, std::uint32_t type) {
    const bool yesNo = (type & win32::MB_TYPEMASK) == win32::MB_YESNO;
    const SDL_MessageBoxButtonData yesNoButtons[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, win32::IDYES, "Yes"},
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, win32::IDNO, "No"}};
    const SDL_MessageBoxButtonData okButton[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT,
         win32::IDOK, "OK"}};
    SDL_MessageBoxData box{};
    box.flags = messageBoxIcon(type) | SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT;
    box.window = sdlWindow(owner);
    box.title = caption;
    box.message = text;
    box.numbuttons = yesNo ? 2 : 1;
    box.buttons = yesNo ? yesNoButtons : okButton;

    int answer = 0;
    const TerminationSignalsEndProcess endOnSignal;
    if (SDL_ShowMessageBox(&box, &answer) != 0 || answer < 0) {
        // No box could be shown (no display) or it was closed.
        return closedBoxAnswer(type);
    }
    return answer;
}

bool SdlHost::readCursor(CursorPoint& point) {
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

bool SdlHost::warpCursor(int x, int y) {
    if (!videoStarted_ || SDL_WarpMouseGlobal(x, y) != 0) {
        return false;
    }
    // The warp's own motion event has arrived by now; taking it in at once lets the next reading
    // see the pointer where it was put, as on Windows, and not turn the view a second time.
    SDL_PumpEvents();
    return true;
}

void SdlHost::showCursor(bool visible) {
    if (videoStarted_) {
        SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
    }
}

bool SdlHost::keyHeld(int virtualKey) {
    if (!videoStarted_) {
        return false;
    }
    int count = 0;
    const Uint8* state = SDL_GetKeyboardState(&count);
    const bool numLock = (SDL_GetModState() & KMOD_NUM) != 0;
    for (int scancode = 0; scancode < count; ++scancode) {
        if (state[scancode] &&
            virtualKeyOf(SDL_GetKeyFromScancode(static_cast<SDL_Scancode>(scancode)), numLock) ==
                virtualKey) {
            return true;
        }
    }
    return false;
}

std::uint32_t SdlHost::milliseconds() {
    videoReady();
    return SDL_GetTicks();
}
