#pragma once
// What the batched renderer's arrays share: the layout of a textured vertex, the client arrays
// switched on for one draw, and the distance beyond which the fog leaves nothing but its colour.

#include <array>
#include <vector>

#include "view/bounding_box.h"
#include "view/vector3.h"

// One vertex as glTexCoordPointer and glVertexPointer read it: s, t, then x, y, z.
struct TexturedVertex {
    float s;
    float t;
    Vector3 position;
};

// The arrays of vertices and texture coordinates switched on while it lives, and that of normals
// too while lighting is on (the thumbnailer lights faces whose texture is missing). Colours come
// from GL's current colour, as in immediate mode.
class ClientArrays {
  public:
    ClientArrays();
    ~ClientArrays();
    ClientArrays(const ClientArrays&) = delete;
    ClientArrays& operator=(const ClientArrays&) = delete;

    bool lit() const { return lit_; }
    // Points GL's arrays at `vertices`, and at `normals` (one per vertex) when lit.
    void pointAt(const TexturedVertex* vertices, const Vector3* normals) const;

  private:
    bool lit_;
};

// The normals of flat faces of `corners` corners each, one per vertex, every corner with its face's
// normal; the normal of a face is given by `faceNormal` from its first vertex.
template <typename FaceNormal>
std::vector<Vector3> flatNormals(const std::vector<TexturedVertex>& vertices, int corners,
                                 FaceNormal faceNormal) {
    std::vector<Vector3> normals(vertices.size());
    for (std::size_t first = 0; first + corners <= vertices.size(); first += corners) {
        const Vector3 normal = faceNormal(&vertices[first]);
        for (int k = 0; k < corners; ++k) {
            normals[first + k] = normal;
        }
    }
    return normals;
}

// Where exponential-squared fog towards the clear colour leaves less than a 2048th of a fragment's
// own colour: every channel rounds to the fog's colour there, so geometry wholly beyond it changes
// no pixel and need not be sent. Holds no limit when the fog is off, of another kind, or of another
// colour than the clear colour.
class FogLimit {
  public:
    // From GL's fog state, the clear colour and the current model-view matrix: the limit in the
    // coordinates that matrix takes.
    static FogLimit ofCurrentState();

    bool beyond(const BoundingBox& box) const;
    bool beyond(Vector3 centre, float radius) const;

  private:
    bool active_ = false;
    std::array<float, 4> plane_{};  // a*x + b*y + c*z + d < 0 lies beyond
};
