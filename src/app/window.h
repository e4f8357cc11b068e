#pragma once
// The program's one window with its OpenGL rendering context: opening (with the display switched to
// fullscreen when asked), closing, the window procedure and the viewport.

#include <cstdint>

#include "platform/win32_types.h"

// Opens the window and its rendering context, sets the viewport and projection, and loads the
// scene. 1 when all is ready; 0 after a failure that has been shown to the user.
int openWindow(const char* title, std::int32_t width, std::int32_t height, std::int32_t bits,
               bool fullscreen);

// Releases the display mode, the rendering context, the device context, the window and the class,
// reporting each release that fails and going on.
void closeWindow();

std::intptr_t windowProc(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                         std::intptr_t lParam);

// Viewport and a 40-degree perspective for a client area; a height of 0 counts as 1.
void resizeViewport(std::int32_t width, std::int32_t height);

// The viewer's perspective with the given planes as the projection, then an identity model-view
// matrix, current.
void applyPerspective(double aspect, double nearPlane, double farPlane);

// The vertical field of view of the viewer's perspective, in degrees.
inline constexpr double kFieldOfViewDegrees = 40;

inline constexpr char kWindowClassName[] = "OpenGL";
