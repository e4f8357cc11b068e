#include "platform/headless_host.h"

#define EGL_NO_X11
#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <chrono>
#include <cstdio>

HeadlessHost::HeadlessHost() {
    // EGL gives every host the same surfaceless display, which stays open for the whole process:
    // initialising it again does nothing, and no host ends it under another's feet.
    display_ = eglGetPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
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
    if (display_ == EGL_NO_DISPLAY || !eglInitialize(display_, nullptr, nullptr) ||
        !eglBindAPI(EGL_OPENGL_API) ||
        !eglChooseConfig(display_, attributes, &config_, 1, &count) || count < 1) {
        std::fputs("EGL: no surfaceless display with pbuffers for OpenGL\n", stderr);
        display_ = EGL_NO_DISPLAY;
        config_ = nullptr;
    }
}

bool HeadlessHost::displayReady() const {
    return display_ != EGL_NO_DISPLAY;
}

Host::Surface HeadlessHost::createSurface(const char*, int, int, int width, int height,
                                          SurfaceStyle) {
    const EGLint size[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    EGLSurface surface =
        displayReady() ? eglCreatePbufferSurface(display_, config_, size) : EGL_NO_SURFACE;
    if (surface == EGL_NO_SURFACE) {
        std::fprintf(stderr, "EGL: no pbuffer of %d x %d\n", width, height);
    }
    return surface;
}

void HeadlessHost::destroySurface(Surface surface) {
    eglDestroySurface(display_, surface);
}

// Nobody sees a pbuffer: its title, place and focus are nobody's concern.
void HeadlessHost::setTitle(Surface, const char*) {}
void HeadlessHost::show(Surface) {}
void HeadlessHost::raise(Surface) {}
void HeadlessHost::focus(Surface) {}

Host::GlContext HeadlessHost::createContext(Surface) {
    const EGLint compatibility[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                    EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
    return eglCreateContext(display_, config_, EGL_NO_CONTEXT, compatibility);
}

bool HeadlessHost::makeCurrent(Surface surface, GlContext context) {
    // EGL_NO_SURFACE and EGL_NO_CONTEXT are null: both null releases the current context.
    return eglMakeCurrent(display_, surface, surface, context);
}

bool HeadlessHost::deleteContext(GlContext context) {
    if (eglGetCurrentContext() == context) {
        makeCurrent(nullptr, nullptr);
    }
    return eglDestroyContext(display_, context);
}

bool HeadlessHost::swapBuffers(Surface surface) {
    return eglSwapBuffers(display_, surface);
}

void* HeadlessHost::procAddress(const char* name) {
    return reinterpret_cast<void*>(eglGetProcAddress(name));
}

std::vector<Host::DisplaySize> HeadlessHost::displayModes() {
    return offeredModes;
}

void HeadlessHost::takeEvents(std::vector<WindowMessage>&) {}

int HeadlessHost::messageBox(Surface, const char*, const char*, std::uint32_t type) {
    return (type & win32::MB_TYPEMASK) == win32::MB_YESNO ? win32::IDYES : win32::IDOK;
}

bool HeadlessHost::readCursor(CursorPoint& point) {
    point = cursor_;
    return true;
}

bool HeadlessHost::warpCursor(int x, int y) {
    cursor_ = {x, y};
    return true;
}

void HeadlessHost::showCursor(bool) {}

bool HeadlessHost::keyHeld(int) {
    return false;
}

std::uint32_t HeadlessHost::milliseconds() {
    // The low 32 bits of the count, as a clock that wraps at 2^32 gives them.
    const auto sinceEpoch = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(sinceEpoch).count());
}
