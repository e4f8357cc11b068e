#include "model/model.h"
#include "platform/gl.h"

namespace {

// Node angles are radians; GL wants degrees. The factor is 180 / 3.14159.
constexpr double kDegreesPerRadian = 57.29582790879778;
constexpr float kAlphaReference = 0.9f;

// Corners go to GL in the order 0, 2, 1.
constexpr int kCornerOrder[3] = {0, 2, 1};

// OpenGL guarantees a model-view stack of 32 matrices. Below a model its callers hold at most 4:
// the frame's own, the world's push around all placements and its push around this one, and the
// thumbnailer's push around the pass that measures the scene. The rest is the model's,
// Model::draw's push included.
constexpr int kGuaranteedStackDepth = 32;
constexpr int kCallersStackDepth = 4;
constexpr int kModelStackLevels = kGuaranteedStackDepth - kCallersStackDepth;
// A node at tree level d (the root is 1), drawn with a push per level, takes Model::draw's push, d
// pushes and its mesh push. Deeper nodes are drawn on matrices composed on the CPU, each with one
// push above the deepest level on the stack.
constexpr int kDeepestStackedLevel = kModelStackLevels - 2;

// Calls `drawChild` for each child of `parent` in ascending order, skipping a child that a cycle
// has drawn before its turn.
template <typename DrawChild>
void forEachUndrawnChild(const Model& model, std::int32_t parent,
                         const std::bitset<MaxModelNodes>& drawn, DrawChild drawChild) {
    for (std::size_t i = 0; i < model.nodes.size(); ++i) {
        const auto node = static_cast<std::int32_t>(i);
        if (node != parent && model.parentIndex[i] == parent && !drawn.test(i)) {
            drawChild(node);
        }
    }
}

// The sender of one node's faces, or none.
FaceSender nodeSender(const NodeFaceSender& sendFaces, std::int32_t nodeIndex) {
    if (!sendFaces) {
        return {};
    }
    return [&sendFaces, nodeIndex] { sendFaces(nodeIndex); };
}

}  // namespace

void Model::draw(float x, float y, float z, float rotX, float rotY, float rotZ, float scaleX,
                 float scaleY, float scaleZ, const NodeFaceSender& sendFaces) {
    if (nodes.empty()) {
        return;
    }
    glPushMatrix();
    glTranslatef(x, -y, z);
    glRotatef(rotX, 1, 0, 0);
    glRotatef(rotY, 0, 1, 0);
    glRotatef(rotZ, 0, 0, 1);
    glScalef(scaleX, -scaleY, scaleZ);
    std::bitset<MaxModelNodes> drawn;
    drawSubtree(0, true, drawn, 1, sendFaces);
    glPopMatrix();
}

// The root's placement and mesh translation move the bounds by (-centre.x, -maxBound.y,
// -centre.z), whether the model has one node or several; its scale follows, then draw turns y over.
BoundingBox Model::placedBounds() const {
    if (nodes.empty() || minBound.x > maxBound.x || minBound.y > maxBound.y ||
        minBound.z > maxBound.z) {
        return {};
    }
    const Vector3 scale = nodes[0].transform.scale;
    const auto placed = [&](Vector3 corner) {
        return Vector3{(corner.x - centre.x) * scale.x, -(corner.y - maxBound.y) * scale.y,
                       (corner.z - centre.z) * scale.z};
    };
    const Vector3 a = placed(minBound);
    const Vector3 b = placed(maxBound);
    return {perAxisMin(a, b), perAxisMax(a, b)};
}

void Model::drawSubtree(std::int32_t nodeIndex, bool isRoot, std::bitset<MaxModelNodes>& drawn,
                        int treeLevel, const NodeFaceSender& sendFaces) {
    if (treeLevel > kDeepestStackedLevel) {
        drawComposedSubtree(nodeIndex, isRoot, drawn, kIdentityMatrix, sendFaces);
        return;
    }
    drawn.set(static_cast<std::size_t>(nodeIndex));
    glPushMatrix();
    nodes[nodeIndex].draw(isRoot, {maxBound, minBound, centre}, nodeSender(sendFaces, nodeIndex));
    forEachUndrawnChild(*this, nodeIndex, drawn, [&](std::int32_t child) {
        drawSubtree(child, false, drawn, treeLevel + 1, sendFaces);
    });
    glPopMatrix();
}

void Model::drawComposedSubtree(std::int32_t nodeIndex, bool isRoot,
                                std::bitset<MaxModelNodes>& drawn, const Matrix4& parentFrame,
                                const NodeFaceSender& sendFaces) {
    drawn.set(static_cast<std::size_t>(nodeIndex));
    const Matrix4 frame = nodes[nodeIndex].drawComposed(
        parentFrame, isRoot, {maxBound, minBound, centre}, nodeSender(sendFaces, nodeIndex));
    forEachUndrawnChild(*this, nodeIndex, drawn, [&](std::int32_t child) {
        drawComposedSubtree(child, false, drawn, frame, sendFaces);
    });
}

void ModelNode::draw(bool isRoot, const ModelBounds& modelBounds, const FaceSender& sendFaces) {
    const bool animated = !keyFrames.empty();
    Matrix4 rotation{};
    if (animated) {
        rotation = keyFrameStep();
    }
    glScalef(transform.scale.x, transform.scale.y, transform.scale.z);
    const Vector3 placed = placement(isRoot, modelBounds);
    glTranslatef(placed.x, placed.y, placed.z);
    if (animated) {
        glMultMatrixf(rotation.data());
    } else {
        const Vector3& axis = transform.rotationAxis;
        glRotatef(rotationDegrees(), axis.x, axis.y, axis.z);
    }
    glPushMatrix();
    drawMesh(isRoot, modelBounds, sendFaces);
    glPopMatrix();
}

Matrix4 ModelNode::drawComposed(const Matrix4& parentFrame, bool isRoot,
                                const ModelBounds& modelBounds, const FaceSender& sendFaces) {
    const Matrix4 rotation = !keyFrames.empty()
                                 ? keyFrameStep()
                                 : axisRotationMatrix(rotationDegrees(), transform.rotationAxis);
    const Matrix4 placed =
        multiplied(scaleMatrix(transform.scale), translationMatrix(placement(isRoot, modelBounds)));
    const Matrix4 frame = multiplied(parentFrame, multiplied(placed, rotation));
    glPushMatrix();
    glMultMatrixf(frame.data());
    drawMesh(isRoot, modelBounds, sendFaces);
    glPopMatrix();
    return frame;
}

float ModelNode::rotationDegrees() const {
    return static_cast<float>(transform.rotationAngle * kDegreesPerRadian);
}

// The root stands on the model's bounds: a model of several nodes centred in x and z with its top
// at 0, a one-node model moved up by half its height; every other node sits at its position.
Vector3 ModelNode::placement(bool isRoot, const ModelBounds& modelBounds) const {
    const Vector3& centre = modelBounds.centre;
    if (!isRoot) {
        return transform.position;
    }
    if (singleNode) {
        return {0, centre.y - modelBounds.maxBound.y, 0};
    }
    return {-centre.x, -modelBounds.maxBound.y, -centre.z};
}

// A one-node model's mesh is centred on the model's centre instead of being moved by its offset.
void ModelNode::drawMesh(bool isRoot, const ModelBounds& modelBounds,
                         const FaceSender& sendFaces) const {
    if (isRoot && singleNode) {
        glTranslatef(-modelBounds.centre.x, -modelBounds.centre.y, -modelBounds.centre.z);
    } else {
        glTranslatef(transform.offset.x, transform.offset.y, transform.offset.z);
    }
    const Matrix4 matrix = meshMatrix();
    glMultMatrixf(matrix.data());
    if (sendFaces) {
        sendFaces();
    } else {
        drawFaces();
    }
}

// A face whose texture index is past the node's table keeps the entry of the face before it.
void ModelNode::drawFaces() const {
    const std::size_t entries = textures.size();
    std::size_t entry = 0;
    for (const ModelFace& face : faces) {
        if (face.textureIndex < entries) {
            entry = face.textureIndex;
        }
        // A node without texture entries draws with no texture, alpha-tested.
        const GLuint texture = entries == 0 ? 0 : textures[entry];
        const bool blended = entries != 0 && fromTga[entry] != 0;
        glBindTexture(GL_TEXTURE_2D, texture);
        if (blended) {
            glEnable(GL_BLEND);
            glBlendFunc(GL_SRC_ALPHA, GL_ONE);
        } else {
            glEnable(GL_ALPHA_TEST);
            glAlphaFunc(GL_GREATER, kAlphaReference);
        }
        drawFace(face);
        glDisable(blended ? GL_BLEND : GL_ALPHA_TEST);
    }
}

// One triangle per glBegin; the normal, from the corners in their stored order, follows the third
// vertex.
void ModelNode::drawFace(const ModelFace& face) const {
    const Vector3 corners[3] = {vertices[face.vertexIndices[0]], vertices[face.vertexIndices[1]],
                                vertices[face.vertexIndices[2]]};
    glBegin(GL_TRIANGLES);
    for (const int corner : kCornerOrder) {
        const ModelTexCoord& texCoord = texCoords[face.texCoordIndices[corner]];
        glTexCoord2f(texCoord.u, texCoord.v);
        const Vector3& vertex = corners[corner];
        glVertex3f(vertex.x, vertex.y, vertex.z);
    }
    const Vector3 normal = triangleNormal(corners);
    glNormal3f(normal.x, normal.y, normal.z);
    glEnd();
}
