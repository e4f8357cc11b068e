#pragma once
// The view of a thumbnail: the whole scene seen from above at an angle, without fog, with near and
// far planes that fit it. orvalis-thumbnailer draws its pictures with it; the viewer never does.

#include <cstdint>

#include "app/app_state.h"
#include "view/bounding_box.h"

struct ThumbnailView {
    Vector3 eye;
    Vector3 lookAt;
    double nearPlane;
    double farPlane;
};

// The view, in the viewer's field of view, that shows all of `box` in a picture of the aspect ratio
// `aspect` (width / height): it looks along -z, as the camera's start pose does, and 45 degrees
// down, from as near as lets the box span nine tenths of the picture in its tighter direction,
// centred in that direction. The near and far planes lie well before and beyond the box. A box that
// is empty, not finite or reaches further than 10^9 units frames the origin alone.
ThumbnailView frameBox(const BoundingBox& box, double aspect);

// The box that the scene of the last set-up fills in the coordinates the camera sees, after the
// scene offset and z mirror of renderFrame: measured by drawing the scene once in GL's feedback
// mode (which moves its animations on by one step), or, for a scene that sends too much for that,
// estimated from the ground's extent in ground and world mode and the model's placed bounds in
// model mode. Needs the window's rendering context current.
BoundingBox sceneBox(AppState& app);

// Points the camera and sets the projection so that a picture of `width` x `height` pixels shows
// the whole scene, and turns the fog off: at these distances it would whiten everything. Needs the
// window's rendering context current and its viewport of that size.
void showWholeScene(std::int32_t width, std::int32_t height);
