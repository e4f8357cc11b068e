#include "model/model_batches.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <tuple>

namespace {

constexpr float kAlphaReference = 0.9f;
// Corners go to GL in the order 0, 2, 1, as the immediate drawing sends them.
constexpr int kCornerOrder[3] = {0, 2, 1};
// The window is cut into 16 x 16 tiles; faces that touch a common tile may overlap.
constexpr int kTiles = 16;
// How far, in pixels, a face's pixels may lie outside the box of its corners.
constexpr float kPixelMargin = 1;
// A clip w at or below this puts a corner at or behind the eye: the face may then land anywhere.
constexpr float kLeastClipW = 1e-6f;

float largestScale(Vector3 scale) {
    return std::max({std::fabs(scale.x), std::fabs(scale.y), std::fabs(scale.z)});
}

// Bounds how far the node's 3x3 matrix moves a point away from the origin, per unit of distance.
float matrixNorm(const Matrix4& m) {
    float sum = 0;
    for (int column = 0; column < 3; ++column) {
        for (int row = 0; row < 3; ++row) {
            sum += m[4 * column + row] * m[4 * column + row];
        }
    }
    return std::sqrt(sum);
}

// The state of one group of faces: blended ones with additive blending, the others alpha-tested.
void useGroupState(bool blended) {
    glDisable(blended ? GL_ALPHA_TEST : GL_BLEND);
    glEnable(blended ? GL_BLEND : GL_ALPHA_TEST);
}

// The tiles a face touches, as ranges of tile columns and rows.
struct TileRange {
    int x0, x1, y0, y1;
};

// Per tile: the latest layer of any face that touched it and that face's group, and the latest
// layer among the faces of every other group.
struct TileLayers {
    int latest = -1;
    std::uint32_t latestGroup = 0;
    int latestOfOthers = -1;
};

int tileOf(float coordinate, float origin, float size) {
    const float tile = std::floor((coordinate - origin) / size * kTiles);
    return static_cast<int>(std::clamp(tile, 0.0f, static_cast<float>(kTiles - 1)));
}

// The tiles that the face with these clip-space corners may cover.
TileRange faceTiles(const std::array<float, 3> clip[3], const FrameWindow& window) {
    float minX = std::numeric_limits<float>::max();
    float minY = minX;
    float maxX = -minX;
    float maxY = -minX;
    for (int k = 0; k < 3; ++k) {
        const float w = clip[k][2];
        if (!(w > kLeastClipW)) {
            return {0, kTiles - 1, 0, kTiles - 1};
        }
        const float x = (clip[k][0] / w * 0.5f + 0.5f) * window.viewport[2] + window.viewport[0];
        const float y = (clip[k][1] / w * 0.5f + 0.5f) * window.viewport[3] + window.viewport[1];
        if (!std::isfinite(x) || !std::isfinite(y)) {
            return {0, kTiles - 1, 0, kTiles - 1};
        }
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
    }
    return {tileOf(minX - kPixelMargin, window.viewport[0], window.viewport[2]),
            tileOf(maxX + kPixelMargin, window.viewport[0], window.viewport[2]),
            tileOf(minY - kPixelMargin, window.viewport[1], window.viewport[3]),
            tileOf(maxY + kPixelMargin, window.viewport[1], window.viewport[3])};
}

}  // namespace

FrameWindow FrameWindow::ofCurrentState() {
    FrameWindow window{};
    glGetFloatv(GL_PROJECTION_MATRIX, window.projection.data());
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    for (int i = 0; i < 4; ++i) {
        window.viewport[i] = static_cast<float>(viewport[i]);
    }
    window.viewport[2] = std::max(window.viewport[2], 1.0f);
    window.viewport[3] = std::max(window.viewport[3], 1.0f);
    return window;
}

void ModelBatches::build(const Model& model) {
    *this = ModelBatches();
    for (const ModelNode& node : model.nodes) {
        NodeArrays arrays;
        arrays.firstVertex = static_cast<std::uint32_t>(vertices_.size());
        // A face whose texture index is past the node's table keeps the entry of the face before
        // it; a node without entries draws with no texture, alpha-tested.
        const std::size_t entries = std::min(node.textures.size(), node.fromTga.size());
        std::size_t entry = 0;
        for (const ModelFace& face : node.faces) {
            if (face.textureIndex < entries) {
                entry = face.textureIndex;
            }
            const Group group{entries == 0 ? 0 : node.textures[entry],
                              entries != 0 && node.fromTga[entry] != 0};
            const auto same =
                std::find_if(arrays.groups.begin(), arrays.groups.end(), [&](const Group& other) {
                    return other.texture == group.texture && other.blended == group.blended;
                });
            arrays.faceGroups.push_back(static_cast<std::uint32_t>(same - arrays.groups.begin()));
            if (same == arrays.groups.end()) {
                arrays.groups.push_back(group);
            }
            for (const int corner : kCornerOrder) {
                const ModelTexCoord& texCoord = node.texCoords[face.texCoordIndices[corner]];
                vertices_.push_back(
                    {texCoord.u, texCoord.v, node.vertices[face.vertexIndices[corner]]});
            }
        }
        nodes_.push_back(std::move(arrays));
    }
    if (!model.nodes.empty()) {
        std::vector<bool> reached(model.nodes.size());
        reach_ = subtreeReach(model, 0, reached);
        reach_ = std::isfinite(reach_) ? reach_ * 1.001f + 0.01f
                                       : std::numeric_limits<float>::infinity();
    }
}

// A node's scale, placement and rotation (a rotation keeps lengths) take its mesh and children;
// the root's placement and mesh move come from the model's bounds, those of any node from its own
// transform.
float ModelBatches::subtreeReach(const Model& model, std::int32_t nodeIndex,
                                 std::vector<bool>& reached) {
    reached[static_cast<std::size_t>(nodeIndex)] = true;
    const ModelNode& node = model.nodes[static_cast<std::size_t>(nodeIndex)];
    if (!node.keyFrames.empty()) {
        animatedNodes_.push_back(nodeIndex);
    }
    const bool root = nodeIndex == 0;
    const float rootMove = vectorLength(model.centre) + vectorLength(model.maxBound);
    float meshMove = vectorLength(node.transform.offset);
    if (root) {
        meshMove = std::max(meshMove, vectorLength(model.centre));
    }
    float vertexReach = 0;
    for (const Vector3& vertex : node.vertices) {
        vertexReach = std::max(vertexReach, vectorLength(vertex));
    }
    float inner = meshMove + matrixNorm(node.meshMatrix()) * vertexReach;
    for (std::int32_t child = 0; child < static_cast<std::int32_t>(model.nodes.size()); ++child) {
        if (child != nodeIndex && model.parentIndex[child] == nodeIndex &&
            !reached[static_cast<std::size_t>(child)]) {
            inner = std::max(inner, subtreeReach(model, child, reached));
        }
    }
    const float placement = root ? rootMove : vectorLength(node.transform.position);
    return largestScale(node.transform.scale) * (placement + inner);
}

void ModelBatches::draw(Model& model, float x, float y, float z, float rotX, float rotY, float rotZ,
                        float scaleX, float scaleY, float scaleZ) const {
    const ClientArrays arrays;
    drawWithin(arrays, FrameWindow::ofCurrentState(), model, x, y, z, rotX, rotY, rotZ, scaleX,
               scaleY, scaleZ);
}

void ModelBatches::drawWithin(const ClientArrays& arrays, const FrameWindow& window, Model& model,
                              float x, float y, float z, float rotX, float rotY, float rotZ,
                              float scaleX, float scaleY, float scaleZ) const {
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glAlphaFunc(GL_GREATER, kAlphaReference);
    if (arrays.lit() && normals_.size() != vertices_.size()) {
        normals_ = flatNormals(vertices_, 3, [](const TexturedVertex* corners) {
            const Vector3 stored[3] = {corners[0].position, corners[2].position,
                                       corners[1].position};
            return triangleNormal(stored);
        });
    }
    model.draw(x, y, z, rotX, rotY, rotZ, scaleX, scaleY, scaleZ,
               [&](std::int32_t nodeIndex) { sendNodeFaces(arrays, window, nodeIndex); });
}

void ModelBatches::stepClocks(Model& model) const {
    for (const std::int32_t node : animatedNodes_) {
        model.nodes[static_cast<std::size_t>(node)].keyFrameStep();
    }
}

void ModelBatches::sendNodeFaces(const ClientArrays& arrays, const FrameWindow& window,
                                 std::int32_t nodeIndex) const {
    const NodeArrays& node = nodes_[static_cast<std::size_t>(nodeIndex)];
    const auto faceCount = static_cast<std::uint32_t>(node.faceGroups.size());
    if (faceCount == 0) {
        return;
    }
    if (node.groups.size() == 1) {
        arrays.pointAt(&vertices_[node.firstVertex],
                       arrays.lit() ? &normals_[node.firstVertex] : nullptr);
        useGroupState(node.groups[0].blended);
        glBindTexture(GL_TEXTURE_2D, node.groups[0].texture);
        glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(3 * faceCount));
    } else {
        orderFaces(node, window, arrays.lit());
        arrays.pointAt(orderedVertices_.data(), orderedNormals_.data());
        // Faces of one group that follow each other in the new order go as one draw.
        std::size_t first = 0;
        while (first < order_.size()) {
            const std::uint32_t group = order_[first].group;
            std::size_t end = first + 1;
            while (end < order_.size() && order_[end].group == group) {
                ++end;
            }
            useGroupState(node.groups[group].blended);
            glBindTexture(GL_TEXTURE_2D, node.groups[group].texture);
            glDrawArrays(GL_TRIANGLES, static_cast<GLint>(3 * first),
                         static_cast<GLsizei>(3 * (end - first)));
            first = end;
        }
    }
    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
}

// Puts the node's faces into layers by the tiles of the window they touch, then orders them layer
// by layer and, within a layer, group by group, each face after the faces of its layer and group
// that came before it, and copies their vertices in that order. A copy, rather than a list of
// indices, lets each draw hand GL only the vertices it draws.
void ModelBatches::orderFaces(const NodeArrays& node, const FrameWindow& window, bool lit) const {
    Matrix4 modelView{};
    glGetFloatv(GL_MODELVIEW_MATRIX, modelView.data());
    const Matrix4 clip = multiplied(window.projection, modelView);
    TileLayers tiles[kTiles][kTiles];
    order_.clear();
    for (std::uint32_t f = 0; f < node.faceGroups.size(); ++f) {
        std::array<float, 3> corners[3];  // clip x, y, w
        for (int k = 0; k < 3; ++k) {
            const Vector3 p = vertices_[node.firstVertex + 3 * f + k].position;
            corners[k] = {clip[0] * p.x + clip[4] * p.y + clip[8] * p.z + clip[12],
                          clip[1] * p.x + clip[5] * p.y + clip[9] * p.z + clip[13],
                          clip[3] * p.x + clip[7] * p.y + clip[11] * p.z + clip[15]};
        }
        const TileRange range = faceTiles(corners, window);
        const std::uint32_t group = node.faceGroups[f];
        int layer = 0;
        for (int ty = range.y0; ty <= range.y1; ++ty) {
            for (int tx = range.x0; tx <= range.x1; ++tx) {
                const TileLayers& tile = tiles[ty][tx];
                layer = std::max(layer, tile.latestGroup == group
                                            ? std::max(tile.latest, tile.latestOfOthers + 1)
                                            : tile.latest + 1);
            }
        }
        for (int ty = range.y0; ty <= range.y1; ++ty) {
            for (int tx = range.x0; tx <= range.x1; ++tx) {
                TileLayers& tile = tiles[ty][tx];
                if (tile.latest >= 0 && tile.latestGroup == group) {
                    tile.latest = std::max(tile.latest, layer);
                } else if (layer > tile.latest) {
                    tile.latestOfOthers = tile.latest;
                    tile.latest = layer;
                    tile.latestGroup = group;
                } else {
                    tile.latestOfOthers = std::max(tile.latestOfOthers, layer);
                }
            }
        }
        order_.push_back({static_cast<std::uint32_t>(layer), group, f});
    }
    std::sort(order_.begin(), order_.end(), [](const PlacedFace& a, const PlacedFace& b) {
        return std::tie(a.layer, a.group, a.face) < std::tie(b.layer, b.group, b.face);
    });
    orderedVertices_.resize(3 * order_.size());
    orderedNormals_.resize(lit ? orderedVertices_.size() : 0);
    for (std::size_t at = 0; at < order_.size(); ++at) {
        for (std::size_t k = 0; k < 3; ++k) {
            const std::size_t from = node.firstVertex + 3 * std::size_t{order_[at].face} + k;
            orderedVertices_[3 * at + k] = vertices_[from];
            if (lit) {
                orderedNormals_[3 * at + k] = normals_[from];
            }
        }
    }
}
