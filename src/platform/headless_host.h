#pragma once
// The host without a display: real OpenGL rendering through EGL on Mesa's surfaceless platform,
// each surface a pbuffer of its size. No events come; the pointer stays where it was last put, no
// key is ever held, every message box is answered by its default button (OK or Yes), and the clock
// is the system's.

#include "platform/host.h"

class HeadlessHost : public Host {
  public:
    // The display modes it offers.
    std::vector<DisplaySize> offeredModes{{640, 480}, {1024, 768}};

    HOST_VERBS(HOST_OVERRIDE)

  private:
    CursorPoint cursor_;
};
