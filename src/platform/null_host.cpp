#include "platform/null_host.h"

#include <cstdio>

// Each verb keeps its contract in host.h; the comments say what a real host does instead.

Host::Surface NullHost::createSurface(const char* title, int, int, int width, int height,
                                      SurfaceStyle) {
    // A real host opens a hidden window of that drawable size (covering the display, in a mode of
    // that size, when fullscreen; with a frame the user can drag when resizable), with a pixel
    // format for a double-buffered RGBA OpenGL context and a 16-bit depth buffer, and returns its
    // own handle to it. Failing says why on standard error and returns null, as here.
    std::fprintf(stderr, "no host: no window \"%s\" of %d x %d\n", title, width, height);
    return nullptr;
}

// Given only surfaces that createSurface made, so never called here. A real host closes the
// window; its events stop with it.
void NullHost::destroySurface(Surface) {}

// A real host sets the window's title and has the window system show it before returning (SDL and
// X flush their requests).
void NullHost::setTitle(Surface, const char*) {}

// A real host maps the window, stacks it above the others and gives it the keyboard.
void NullHost::show(Surface) {}
void NullHost::raise(Surface) {}
void NullHost::focus(Surface) {}

// A real host makes an OpenGL context on the surface in which OpenGL 1.1 and GLU work: a
// compatibility profile, not a core one.
Host::GlContext NullHost::createContext(Surface) {
    return nullptr;
}

bool NullHost::makeCurrent(Surface surface, GlContext context) {
    // Both null releases the current context, which succeeds even where no context ever was. A real
    // host makes the context current on the surface's drawable.
    return surface == nullptr && context == nullptr;
}

// A real host releases the context first when it is the current one, then destroys it.
bool NullHost::deleteContext(GlContext) {
    return false;
}

// A real host shows the back buffer (eglSwapBuffers, SDL_GL_SwapWindow).
bool NullHost::swapBuffers(Surface) {
    return false;
}

// A real host asks its OpenGL loader (eglGetProcAddress, SDL_GL_GetProcAddress).
void* NullHost::procAddress(const char*) {
    return nullptr;
}

// A real host lists the sizes of the primary display's modes; with none, every fullscreen switch
// fails as DISP_CHANGE_BADMODE and the program stays windowed.
std::vector<Host::DisplaySize> NullHost::displayModes() {
    return {};
}

// A real host polls its event queue without waiting and appends, in order, the messages that
// host.h lists: keys as virtual-key codes, activation, size and close.
void NullHost::takeEvents(std::vector<WindowMessage>&) {}

int NullHost::messageBox(Surface, const char*, const char*, std::uint32_t type) {
    // Nothing can be shown, so the box answers as Esc would. The emulation has already written the
    // text to standard error. A real host shows a modal box over the owner's window.
    return (type & win32::MB_TYPEMASK) == win32::MB_YESNO ? win32::IDNO : win32::IDOK;
}

// A real host reads the pointer in screen coordinates, and moves it there; a warp that succeeds
// makes the next reading give that point.
bool NullHost::readCursor(CursorPoint&) {
    return false;
}
bool NullHost::warpCursor(int, int) {
    return false;
}

// A real host hides or shows the pointer over the whole screen, not only over its windows.
void NullHost::showCursor(bool) {}

// A real host reads the keyboard's state now, not the events it has yet to take.
bool NullHost::keyHeld(int) {
    return false;
}

std::uint32_t NullHost::milliseconds() {
    // Any start will do: only differences are read, modulo 2^32 as Windows' timeGetTime gives them.
    const auto elapsed = std::chrono::steady_clock::now() - start_;
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}
