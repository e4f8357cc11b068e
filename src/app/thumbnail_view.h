#pragma once
// The view of a thumbnail: the whole scene seen from above at an angle, without fog, with near and
// far planes that fit it. orvalis-thumbnailer draws its pictures with it; the viewer never does.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

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

// How many triangles a thumbnail's framing draws in GL's feedback mode at most: with Mesa's
// llvmpipe some 50 ms (bench_thumbnail), and 25 MB of feedback data and vertices.
inline constexpr std::size_t kFramingTriangleBudget = 150'000;

// The box that most of the scene of the last set-up fills in the coordinates the camera sees,
// after the scene offset and z mirror of renderFrame. The ground and each distinct model are
// measured once by drawing them in GL's feedback mode (which moves a model's animations on by one
// step), while the triangles drawn stay within `triangleBudget`; a ground or model past it is
// estimated from its extent or placed bounds. A world places each model's box at each of its
// placements, or at an even sample of 131,072 of them. Points far off the rest, such as one stray
// vertex, are left out: per axis the box spans the points from the 2nd to the 98th percentile,
// widened to take in the points that lie within that core's largest extent of it. Needs the
// window's rendering context current.
BoundingBox sceneBox(AppState& app, std::size_t triangleBudget);

// Points the camera and sets the projection so that a picture of `width` x `height` pixels shows
// the whole scene, and turns the fog off: at these distances it would whiten everything. Gives the
// box it framed, as sceneBox measures it. Needs the window's rendering context current and its
// viewport of that size.
BoundingBox showWholeScene(std::int32_t width, std::int32_t height);

// Makes the faces whose texture did not load show the scene's shape rather than white on white:
// each such texture (a BMP's empty one, the checkerboard of the TGAs that did not load, and the
// empty texture of a model node without any) becomes a ramp of greys, and the scene is lit by one
// light from above, behind the eye. When no texture of the scene loaded, the greys follow the
// height within `box`, the framed box, lighter higher up. Sets nothing when no texture is
// missing. Needs the rendering context of the load current and the camera of
// the picture set.
void shadeMissingTextures(const BoundingBox& box);

// How many triangles a frame of the scene of the last set-up sends at most.
std::size_t sceneTriangles(const AppState& app);

// Why the frame just drawn, `width` x `height` pixels from the lower left corner, is no picture of
// the scene: a GL error since the errors were last read (running out of memory among them), or
// one colour all over. Nothing when it is a picture.
std::optional<std::string> frameFault(std::int32_t width, std::int32_t height);
