#pragma once
// The desktop host on Linux, through SDL2: windows with an OpenGL context, the display modes,
// message boxes, the global pointer, the keyboard state and the clock. SDL's events arrive as the
// Windows messages that the window procedure expects; the screen saver stays off while it runs.

#include <cstdint>
#include <set>

#include "platform/host.h"

struct SDL_Window;
union SDL_Event;

// The Windows virtual-key code of an SDL key code, 0 for a key without one here. As on Windows, the
// keypad's digits give VK_NUMPAD0 to VK_NUMPAD9 while NumLock is on; while it is off, its 8, 2, 4
// and 6 give the arrow keys.
int virtualKeyOf(std::int32_t sdlKey, bool numLock);

class SdlHost : public Host {
  public:
    ~SdlHost() override;

    HOST_VERBS(HOST_OVERRIDE)

    // Starts SDL's video on first use; false, after one line on standard error, when it cannot
    // start. Unless SDL_VIDEODRIVER names a driver, only a display that can be seen counts: with
    // neither DISPLAY nor WAYLAND_DISPLAY set SDL is not started, and its drivers that draw
    // nowhere (offscreen, dummy) are not taken.
    bool videoReady();

  protected:
    // The messages of one SDL event (takeEvents' contract in host.h); a test reaches it by
    // deriving.
    void translate(const SDL_Event& event, std::vector<WindowMessage>& messages);

  private:
    bool videoStarted_ = false;
    bool videoFailed_ = false;
    std::set<SDL_Window*> minimised_;
};
