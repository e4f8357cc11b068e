#pragma once
// The host without a display: real OpenGL rendering through EGL on Mesa's surfaceless platform,
// each surface a pbuffer of its size. No events come; the pointer stays where it was last put, no
// key is ever held, every message box is answered by its default button (OK or Yes), and the clock
// is the system's.

#include "platform/host.h"

class HeadlessHost : public Host {
  public:
    // Opens the surfaceless display with a config of 8-bit RGBA and a 16-bit depth buffer for
    // OpenGL pbuffers. Without one it says so on standard error, and no surface can be made.
    HeadlessHost();
    bool displayReady() const;

    // The display modes it offers.
    std::vector<DisplaySize> offeredModes{{640, 480}, {1024, 768}};

    HOST_VERBS(HOST_OVERRIDE)

  private:
    void* display_ = nullptr;  // EGLDisplay; EGL_NO_DISPLAY (null) when none could be opened
    void* config_ = nullptr;   // EGLConfig
    CursorPoint cursor_;
};
