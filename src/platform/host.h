#pragma once
// What a host without Win32 gives the emulated Windows services (emulated_win32.h). A new host
// starts here and fills in every verb of HOST_VERBS, nothing else: classes, handles, device
// contexts, pixel formats, the message queue, the display mode and the cursor counter are the
// emulation's. The hosts there are: sdl_host (the desktop), headless_host (EGL, no display) and
// null_host (none at all, the template of a new one).

#include <cstdint>
#include <vector>

#include "platform/win32_types.h"

// Every verb: result, name and parameters, after the contract it keeps.
#define HOST_VERBS(X)                                                                              \
    /* A hidden surface showing `title`, its drawable area `width` x `height` at (x, y) of the     \
       screen, for a double-buffered RGBA OpenGL context with a 16-bit depth buffer; null when it  \
       cannot be made, after saying why on standard error. */                                      \
    X(Surface, createSurface,                                                                      \
      (const char* title, int x, int y, int width, int height, SurfaceStyle style))                \
    X(void, destroySurface, (Surface surface)) /* its events stop */                               \
    /* The title reaches the screen before the call returns, even if no event is taken after. */   \
    X(void, setTitle, (Surface surface, const char* title))                                        \
    X(void, show, (Surface surface))  /* makes it visible */                                       \
    X(void, raise, (Surface surface)) /* above the other windows */                                \
    X(void, focus, (Surface surface)) /* keyboard input goes to it */                              \
    /* An OpenGL context on the surface in which OpenGL 1.1 and GLU work; null when none. */       \
    X(GlContext, createContext, (Surface surface))                                                 \
    /* Both null: no context is current. */                                                        \
    X(bool, makeCurrent, (Surface surface, GlContext context))                                     \
    X(bool, deleteContext, (GlContext context)) /* also the current one */                         \
    X(bool, swapBuffers, (Surface surface))     /* shows what was drawn */                         \
    /* An OpenGL entry point; null when none, though a loader may answer any name (GLX does). */   \
    X(void*, procAddress, (const char* name))                                                      \
    /* The sizes of the display modes the screen can switch to, at any colour depth. */            \
    X(std::vector<DisplaySize>, displayModes, ())                                                  \
    /* Appends a message for every waiting event, in order, naming its surface as the window       \
       (null: every surface): WM_KEYDOWN and WM_KEYUP with the virtual-key code (WM_SYSKEYDOWN,    \
       WM_SYSKEYUP while Alt is held and for F10); WM_ACTIVATE, WA_ACTIVE or WA_INACTIVE in the    \
       low word of wParam and 1 in its high word while minimised; WM_SIZE, width and height in the \
       low and high word of lParam; WM_CLOSE when the user closes the surface, and for every       \
       surface when the program is asked from outside to end. Other events are dropped. */         \
    X(void, takeEvents, (std::vector<WindowMessage> & messages))                                   \
    /* A message box over `owner` (or none) with the icon and the buttons of `type`: OK, or Yes    \
       and No, Enter answering OK or Yes. The answer is IDOK, IDYES or IDNO; a box that cannot be  \
       shown, or is closed, answers as Esc would (OK or No). */                                    \
    X(int, messageBox, (Surface owner, const char* text, const char* caption, std::uint32_t type)) \
    X(bool, readCursor, (CursorPoint & point)) /* screen coordinates; false: cannot be read */     \
    X(bool, warpCursor, (int x, int y))        /* the next reading gives (x, y) */                 \
    X(void, showCursor, (bool visible))        /* the pointer shows, or not, over the screen */    \
    X(bool, keyHeld, (int virtualKey))         /* held down now */                                 \
    X(std::uint32_t, milliseconds, ())         /* a clock that wraps at 2^32 */

class Host {
  public:
    using Surface = void*;    // the host's own window; null for none
    using GlContext = void*;  // the host's own OpenGL context; null for none

    struct SurfaceStyle {
        bool fullscreen = false;  // covers the display, switched to a mode of its size
        bool resizable = false;   // the user may change its size
    };

    struct DisplaySize {
        int width = 0;
        int height = 0;
    };

    virtual ~Host() = default;

#define HOST_PURE_VIRTUAL(result, name, parameters) virtual result name parameters = 0;
    HOST_VERBS(HOST_PURE_VIRTUAL)
#undef HOST_PURE_VIRTUAL
};

// Declares every verb in a host: HOST_VERBS(HOST_OVERRIDE).
#define HOST_OVERRIDE(result, name, parameters) result name parameters override;
