#pragma once
// A ground: a height field of square cells, each with up to three textured quads (its top and the
// two walls that join it to its neighbours), read from a ground file and drawn cell by cell.

#include <array>
#include <cstdint>
#include <vector>

#include "ground/ground_file.h"
#include "io/read_result.h"
#include "platform/gl.h"
#include "texture/scene_load.h"
#include "view/bounding_box.h"
#include "view/frustum.h"
#include "view/vector3.h"

// One quad ready to send: its corners in drawing order, where corner k takes the surface's texture
// coordinate pair kQuadTexturePairs[k].
struct GroundQuad {
    std::array<Vector3, 4> corners;
    const GroundSurface* surface;
    GLuint texture;
};
inline constexpr int kQuadTexturePairs[4] = {0, 1, 3, 2};

// The normal sent with a quad: from its first, fourth and third corners.
Vector3 quadNormal(const GroundQuad& quad);

class Ground {
  public:
    Ground() = default;
    // Copyable and movable. The moves are declared because the virtual destructor would leave
    // only the copies: a re-read or a fresh object replaces the arrays by moving them.
    Ground(const Ground&) = default;
    Ground(Ground&&) = default;
    Ground& operator=(const Ground&) = default;
    Ground& operator=(Ground&&) = default;
    virtual ~Ground() = default;

    // Reads the ground file at `path` and loads its textures below `dataRoot`, within the budgets
    // of `scene`. A file that cannot be opened or read, is damaged, or passes what is left of the
    // scene's budget of file bytes, leaves the ground empty and reports its reason in one line on
    // standard error.
    ReadResult readGround(const char* dataRoot, const char* path, SceneLoad& scene);
    // Draws the cells whose test cube is not outside the view, the grid in the caller's x-z plane
    // centred at its origin, heights along -y. The caller's matrix is left as found.
    void drawGround() const;
    // Multiplies the current matrix by the transform from ground-local coordinates (x, y along the
    // grid, h the height) to the caller's: the grid into the x-z plane, centred at the origin.
    void placeGrid() const;
    // The box that drawGround fills in the caller's coordinates: the whole grid, x from -5 * width
    // to 5 * width and z from -5 * height to 5 * height, and y from the lowest point (the largest
    // height, negated) to the highest. Heights that are not finite are left out; a ground with no
    // cells to draw gives the box of the origin alone.
    BoundingBox extent() const;

    // Whether the test cube of the cell in `row`, `column` (inside the grid) is not wholly outside
    // `frustum`, given in ground-local coordinates. The cube has half-edge 20 and is centred on the
    // cell's corner (x0, y1) at height h0.
    bool cellInFrustum(const Frustum& frustum, int row, int column) const;
    // The cell's quads to draw, in drawing order (row wall, column wall, top) into `quads`; gives
    // how many. Quads without a surface, with a surface or texture index out of range, and walls
    // with no neighbour to join are left out.
    int cellQuads(int row, int column, GroundQuad quads[3]) const;

    // The grid: `cells` holds width x height cells, as the ground's parser finds them in the file
    // and as the drawing trusts.
    std::int32_t width = 0;         // cells per row
    std::int32_t height = 0;        // rows
    std::vector<GLuint> textures;   // texture i of the file is GL texture textures[i]
    std::vector<GroundCell> cells;  // row by row, cell (i, j) at i * width + j
    std::vector<GroundSurface> surfaces;
    std::vector<GroundBlock> blocks;

  private:
    // A grid without cells is not walked: a file of zero columns may still claim two billion rows,
    // each walked every frame.
    bool hasCells() const { return !cells.empty(); }
    const GroundCell& cellAt(int row, int column) const {
        return cells[static_cast<std::size_t>(row) * static_cast<std::size_t>(width) +
                     static_cast<std::size_t>(column)];
    }
};
