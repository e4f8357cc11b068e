#pragma once
// The program: the argument file, the first window, the camera's start, and the main loop with its
// control keys Esc, F1, F2 and F3. Returns the exit code.

#include <functional>
#include <span>
#include <string_view>

int runViewer();

// What the desktop tells a start from the command line.
struct Desktop {
    // Whether windows can be opened; when not, it has said why on standard error.
    std::function<bool()> displayReady;
    // Whether standard error reaches a terminal. When it does not (a file manager started the
    // viewer), a note before the scene loads is also shown in a box.
    bool terminal = true;
};

// The program as its command line asks: no arguments run it as runViewer does; a scene file is
// shown without any argument file, and the program ends with 1 when its window cannot be opened;
// --help, --version, wrong arguments, a scene file that is not there and a missing display answer
// on the terminal without opening a window.
int runCommandLine(std::span<const std::string_view> arguments, const Desktop& desktop);

// One pass over the control keys F1, F2 and F3; false when the window could not be opened again.
bool handleControlKeys();
