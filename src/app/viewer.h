#pragma once
// The program: the argument file, the first window, the camera's start, and the main loop with its
// control keys Esc, F1, F2 and F3. Returns the exit code.

#include <span>
#include <string_view>

int runViewer();

// The program as its command line asks: no arguments run it as runViewer does; a scene file is
// shown without any argument file; --help, --version, wrong arguments and a scene file that is not
// there answer on the terminal without opening a window.
int runCommandLine(std::span<const std::string_view> arguments);

// One pass over the control keys F1, F2 and F3; false when the window could not be opened again.
bool handleControlKeys();
