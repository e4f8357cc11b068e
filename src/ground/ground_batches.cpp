#include "ground/ground_batches.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr std::int32_t kStretchCells = 16;
constexpr float kCellSize = 10;
constexpr float kTestCubeHalfEdge = 20;
// How far inside or outside every plane a stretch's test cubes must lie for the stretch to be
// taken or left whole; nearer than that, each cell's own test decides, as drawGround rounds it.
constexpr float kPlaneMargin = 0.01f;

void widen(BoundingBox& box, Vector3 point) {
    box.min = {std::min(box.min.x, point.x), std::min(box.min.y, point.y),
               std::min(box.min.z, point.z)};
    box.max = {std::max(box.max.x, point.x), std::max(box.max.y, point.y),
               std::max(box.max.z, point.z)};
}

bool finitePoint(Vector3 p) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

// Quads in view, taken in order: those that follow each other in the arrays with one texture go
// as one draw.
class QuadDraws {
  public:
    explicit QuadDraws(const std::vector<GLuint>& textures) : textures_(textures) {}
    ~QuadDraws() { send(); }
    QuadDraws(const QuadDraws&) = delete;
    QuadDraws& operator=(const QuadDraws&) = delete;

    void add(std::uint32_t first, std::uint32_t end) {
        for (std::uint32_t q = first; q < end; ++q) {
            if (count_ == 0 || q != first_ + count_ || textures_[q] != texture_) {
                send();
                first_ = q;
                texture_ = textures_[q];
            }
            ++count_;
        }
    }

  private:
    void send() {
        if (count_ == 0) {
            return;
        }
        if (!anyBound_ || bound_ != texture_) {
            glBindTexture(GL_TEXTURE_2D, texture_);
            bound_ = texture_;
            anyBound_ = true;
        }
        glDrawArrays(GL_QUADS, static_cast<GLint>(4 * first_), static_cast<GLsizei>(4 * count_));
        count_ = 0;
    }

    const std::vector<GLuint>& textures_;
    std::uint32_t first_ = 0;
    std::uint32_t count_ = 0;
    GLuint texture_ = 0;
    GLuint bound_ = 0;
    bool anyBound_ = false;
};

}  // namespace

void GroundBatches::build(const Ground& ground) {
    *this = GroundBatches();
    const auto cellCount = static_cast<std::size_t>(std::max(ground.width, 0)) *
                           static_cast<std::size_t>(std::max(ground.height, 0));
    if (ground.cells.empty() || ground.width <= 0 || ground.height <= 0 ||
        ground.cells.size() != cellCount) {
        return;
    }
    // Counted first, so that the arrays are made once at their size.
    std::size_t quadCount = 0;
    GroundQuad quads[3];
    for (std::int32_t row = 0; row < ground.height; ++row) {
        for (std::int32_t column = 0; column < ground.width; ++column) {
            quadCount += static_cast<std::size_t>(ground.cellQuads(row, column, quads));
        }
    }
    vertices_.reserve(4 * quadCount);
    quadTextures_.reserve(quadCount);
    cellQuads_.reserve(cellCount + 1);
    for (std::int32_t row = 0; row < ground.height; ++row) {
        for (std::int32_t column = 0; column < ground.width; column += kStretchCells) {
            addStretch(ground, row, column);
        }
    }
    cellQuads_.push_back(static_cast<std::uint32_t>(quadTextures_.size()));
}

void GroundBatches::addStretch(const Ground& ground, std::int32_t row, std::int32_t column) {
    Stretch stretch{row, column, std::min(kStretchCells, ground.width - column), {}, {}, true};
    const Vector3 half{kTestCubeHalfEdge, kTestCubeHalfEdge, kTestCubeHalfEdge};
    for (std::int32_t j = column; j < column + stretch.cellCount; ++j) {
        const float h0 = ground.cells[cellIndex(ground, row, j)].heights[0];
        const Vector3 centre{j * kCellSize, (row + 1) * kCellSize, h0};
        if (j == column) {
            stretch.testCubes = {centre, centre};
            stretch.corners = {centre, centre};
        }
        widen(stretch.testCubes, vectorDifference(centre, half));
        widen(stretch.testCubes, vectorSum(centre, half));
        stretch.finite = stretch.finite && std::isfinite(h0);
        cellQuads_.push_back(static_cast<std::uint32_t>(quadTextures_.size()));
        GroundQuad quads[3];
        const int count = ground.cellQuads(row, j, quads);
        for (int q = 0; q < count; ++q) {
            quadTextures_.push_back(quads[q].texture);
            for (int k = 0; k < 4; ++k) {
                const Vector3& corner = quads[q].corners[k];
                const int pair = kQuadTexturePairs[k];
                vertices_.push_back({quads[q].surface->u[pair], quads[q].surface->v[pair], corner});
                widen(stretch.corners, corner);
                stretch.finite = stretch.finite && finitePoint(corner);
            }
        }
    }
    stretches_.push_back(stretch);
}

void GroundBatches::draw(const Ground& ground) const {
    const ClientArrays arrays;
    drawWithin(arrays, ground);
}

void GroundBatches::drawWithin(const ClientArrays& arrays, const Ground& ground) const {
    glPushMatrix();
    ground.placeGrid();
    Frustum frustum;
    frustum.extractFrustum();  // in ground-local coordinates, as drawGround tests its cells
    const FogLimit fog = FogLimit::ofCurrentState();
    if (!vertices_.empty()) {
        arrays.pointAt(vertices_.data(), normals(arrays));
    }
    {
        QuadDraws draws(quadTextures_);
        for (const Stretch& stretch : stretches_) {
            const InView inView = stretchInView(frustum, stretch);
            if (inView == InView::none || (stretch.finite && fog.beyond(stretch.corners))) {
                continue;
            }
            const std::size_t first = cellIndex(ground, stretch.row, stretch.column);
            if (inView == InView::all) {
                draws.add(cellQuads_[first], cellQuads_[first + stretch.cellCount]);
                continue;
            }
            for (std::int32_t j = 0; j < stretch.cellCount; ++j) {
                if (ground.cellInFrustum(frustum, stretch.row, stretch.column + j)) {
                    draws.add(cellQuads_[first + j], cellQuads_[first + j + 1]);
                }
            }
        }
    }
    glPopMatrix();
}

// Test cubes wholly outside one plane hold no cell in view; wholly inside all, every cell. The box
// of the cubes holds them all, so its corners tell.
GroundBatches::InView GroundBatches::stretchInView(const Frustum& frustum,
                                                   const Stretch& stretch) const {
    if (!stretch.finite) {
        return InView::some;
    }
    const BoundingBox& box = stretch.testCubes;
    bool allInside = true;
    for (const auto& plane : frustum.planes) {
        if (planeAtFurthestCorner(plane, box, true) < -kPlaneMargin) {
            return InView::none;
        }
        allInside = allInside && planeAtFurthestCorner(plane, box, false) > kPlaneMargin;
    }
    return allInside ? InView::all : InView::some;
}

const Vector3* GroundBatches::normals(const ClientArrays& arrays) const {
    if (arrays.lit() && normals_.size() != vertices_.size()) {
        normals_ = flatNormals(vertices_, 4, [](const TexturedVertex* corners) {
            GroundQuad quad{};
            for (int k = 0; k < 4; ++k) {
                quad.corners[k] = corners[k].position;
            }
            return quadNormal(quad);
        });
    }
    return normals_.data();
}
