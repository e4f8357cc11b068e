// The viewer's entry: the platform backend of the host, then the program itself. On Windows the
// backend is the system's own calls; elsewhere the emulated Windows services on the SDL2 desktop.

#include "app/viewer.h"

#ifdef _WIN32
#include "platform/win32_platform.h"
// After our headers: its macros bear the names of the values in win32_types.h.
#include <windows.h>

// The instance handles, command line and show command are not used.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    Win32Platform windows;
    usePlatform(windows);
    return runViewer();
}
#else
#include <unistd.h>

#include <string_view>
#include <vector>

#include "platform/emulated_win32.h"
#include "platform/sdl_host.h"

// The display is only taken on when the first window opens: --help and --version need none. A
// file manager starts the viewer with standard error going nowhere that the user sees.
int main(int argc, char** argv) {
    SdlHost desktop;
    EmulatedWin32 services(desktop);
    usePlatform(services);
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    const Desktop thisDesktop{[&desktop] { return desktop.videoReady(); },
                              ::isatty(STDERR_FILENO) == 1};
    return runCommandLine(arguments, thisDesktop);
}
#endif
