#pragma once
// The program: the argument file, the first window, the camera's start, and the main loop with its
// control keys Esc, F1, F2 and F3. Returns the exit code.

int runViewer();

// One pass over the control keys F1, F2 and F3; false when the window could not be opened again.
bool handleControlKeys();
