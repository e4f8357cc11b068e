#pragma once
// The Windows services of the platform layer, emulated once for every host without them: window
// classes, windows and their device contexts, pixel formats, rendering contexts, the message queue
// with dispatch and the default procedure, the display mode and the cursor counter. It asks a Host
// (host.h) for the rest. Every message box also writes a line "CAPTION: TEXT" to standard error, so
// that a terminal, a log and a test see it, also where no display can show the box.

#include <cstdint>
#include <deque>
#include <map>
#include <string>

#include "platform/host.h"
#include "platform/platform.h"

class EmulatedWin32 : public Platform {
  public:
    explicit EmulatedWin32(Host& host);
    // Releases what is left: the rendering contexts and the windows' surfaces.
    ~EmulatedWin32() override;

    PLATFORM_OPERATIONS(PLATFORM_OVERRIDE)

  private:
    struct Window {
        Host::Surface surface = nullptr;
        WindowProcedure procedure = nullptr;
        bool visible = false;
        bool dcReleased = false;  // of its one device context (CS_OWNDC)
        bool pixelFormatSet = false;
    };

    // A handle no window or context has had before.
    void* newHandle();
    Window* findWindow(WindowHandle handle);
    Window* windowOfDc(DeviceContextHandle dc);  // the window whose device context is held
    void queueHostEvents();  // the host's events as messages of the windows of their surfaces

    Host& host_;
    std::map<std::string, WindowProcedure> classes_;
    std::map<WindowHandle, Window> windows_;
    std::map<RenderingContextHandle, Host::GlContext> contexts_;
    std::uintptr_t lastHandle_ = 0;
    std::deque<WindowMessage> messages_;
    bool quitPosted_ = false;
    int quitCode_ = 0;
    WindowHandle focus_ = nullptr;
    bool displayModeSwitched_ = false;
    int cursorCounter_ = 0;
};
