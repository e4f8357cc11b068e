#pragma once
// Choosing, loading and drawing the scene: a ground, a world, or a single model, by the first name
// of the argument file, with the fixed GL state and the fog.

#include <string_view>

#include "view/vector3.h"

enum class SceneMode { ground, world, model };

// How frames are drawn. `immediate` sends what the viewer has always sent: one texture bind and one
// glBegin/glEnd per ground quad and model face, the calls a start through orvalis.arg makes.
// `batched` draws the same picture from client-side vertex arrays, a few draws per block of ground
// and per model node, many times faster on large worlds; a scene named on the command line and the
// thumbnailer use it.
enum class Renderer { immediate, batched };

// "gnd"/"GND" ends a ground name, "rsw"/"RSW" a world name; anything else, mixed case and names
// shorter than three characters included, is a model.
SceneMode sceneModeOf(std::string_view name);
// The same ending in any letter case ("Valley.Gnd" is a ground), as the desktop's file types tell
// scenes apart: the kind of a scene named on a command line.
SceneMode sceneModeOfAnyCase(std::string_view name);

// Loads the scene into the current rendering context and sets the fixed GL state; for the batched
// renderer it builds the scene's arrays, with the texture names of this context. A scene file that
// cannot be opened or read is shown to the user ("Can't open %s", "Can't read %s"); the empty scene
// is drawn then. Always 1.
int setupScene();

// Where renderFrame moves the scene's origin, before it mirrors z: (0, -50, 0) for a ground or a
// world, (0, 0, -100) for a model.
Vector3 sceneOffset(bool groundOrWorld);

// Draws the scene as the camera sees it, with `renderer`: moved by the scene offset, z mirrored.
void drawPlacedScene(Renderer renderer);

// Draws one frame with the renderer of the application state: camera, scene offset, mirrored z,
// the scene, then the buffer swap. Always 1.
int renderFrame();
