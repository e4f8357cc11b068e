#pragma once
// The batched drawing of a ground: its quads in client-side vertex arrays, so that a frame sends
// one draw for each stretch of quads of one texture in view, in place of one bind and one
// glBegin/glEnd for each quad. It draws what drawGround draws, in its order: the same cells (whole
// stretches of 16 cells of a row are taken or left by their test cubes, and each cell's own test
// decides where a stretch lies partly in view), each quad with the same corners in the same order,
// as GL_QUADS, row after row. The order matters: quads of neighbouring cells whose edges do not
// meet overlap where the 16-bit depth of the two ties, and the later one wins there.

#include <cstdint>
#include <vector>

#include "ground/ground.h"
#include "view/vertex_arrays.h"

class GroundBatches {
  public:
    // The arrays of `ground` as it is now; its texture names belong to the current context. A
    // ground whose cells are not all there gives none, as it draws nothing.
    void build(const Ground& ground);
    // Draws `ground`, whose arrays these are, as Ground::drawGround does, with its own client
    // arrays switched on.
    void draw(const Ground& ground) const;
    // The same within client arrays that the caller has switched on.
    void drawWithin(const ClientArrays& arrays, const Ground& ground) const;

    std::size_t quadCount() const { return quadTextures_.size(); }

  private:
    struct Stretch {  // up to 16 cells of one row
        std::int32_t row;
        std::int32_t column;  // its first cell
        std::int32_t cellCount;
        BoundingBox testCubes;  // all its cells' test cubes
        BoundingBox corners;    // all its quads' corners
        bool finite;            // every height in both boxes is finite
    };
    enum class InView { none, all, some };

    void addStretch(const Ground& ground, std::int32_t row, std::int32_t column);
    InView stretchInView(const Frustum& frustum, const Stretch& stretch) const;
    std::size_t cellIndex(const Ground& ground, std::int32_t row, std::int32_t column) const {
        return static_cast<std::size_t>(row) * static_cast<std::size_t>(ground.width) +
               static_cast<std::size_t>(column);
    }
    const Vector3* normals(const ClientArrays& arrays) const;

    std::vector<TexturedVertex> vertices_;  // four per quad, in drawGround's order
    std::vector<GLuint> quadTextures_;      // per quad
    std::vector<std::uint32_t> cellQuads_;  // per cell, row by row: its first quad; then the end
    std::vector<Stretch> stretches_;
    mutable std::vector<Vector3> normals_;  // made on the first lit draw
};
