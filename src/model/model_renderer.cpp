#include "model/model.h"
#include "platform/gl.h"

namespace {

// Node angles are radians; GL wants degrees. The factor is 180 / 3.14159.
constexpr double kDegreesPerRadian = 57.29582790879778;
constexpr float kAlphaReference = 0.9f;

// Corners go to GL in the order 0, 2, 1.
constexpr int kCornerOrder[3] = {0, 2, 1};

}  // namespace

void Model::draw(float x, float y, float z, float rotX, float rotY, float rotZ, float scaleX,
                 float scaleY, float scaleZ) {
    if (nodeCount == 0) {
        return;
    }
    glPushMatrix();
    glTranslatef(x, -y, z);
    glRotatef(rotX, 1, 0, 0);
    glRotatef(rotY, 0, 1, 0);
    glRotatef(rotZ, 0, 0, 1);
    glScalef(scaleX, -scaleY, scaleZ);
    std::bitset<MaxModelNodes> drawn;
    drawSubtree(0, true, drawn);
    glPopMatrix();
}

// The root's placement and mesh translation move the bounds by (-centre.x, -maxBound.y,
// -centre.z), whether the model has one node or several; its scale follows, then draw turns y over.
BoundingBox Model::placedBounds() const {
    if (nodeCount == 0 || minBound.x > maxBound.x || minBound.y > maxBound.y ||
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

void Model::drawSubtree(std::int32_t nodeIndex, bool isRoot, std::bitset<MaxModelNodes>& drawn) {
    drawn.set(static_cast<std::size_t>(nodeIndex));
    glPushMatrix();
    nodes[nodeIndex].draw(isRoot, {maxBound, minBound, centre});
    for (std::int32_t i = 0; i < nodeCount; ++i) {
        if (i != nodeIndex && parentIndex[i] == nodeIndex && !drawn.test(i)) {
            drawSubtree(i, false, drawn);
        }
    }
    glPopMatrix();
}

void ModelNode::draw(bool isRoot, const ModelBounds& modelBounds) {
    const bool animated = keyFrameCount != 0;
    Matrix4 rotation{};
    if (animated) {
        rotation = keyFrameStep();
    }
    glScalef(transform.scale.x, transform.scale.y, transform.scale.z);
    applyPlacement(isRoot, modelBounds);
    if (animated) {
        glMultMatrixf(rotation.data());
    } else {
        const Vector3& axis = transform.rotationAxis;
        glRotatef(static_cast<float>(transform.rotationAngle * kDegreesPerRadian), axis.x, axis.y,
                  axis.z);
    }
    glPushMatrix();
    applyMeshTranslation(isRoot, modelBounds);
    const Matrix4 matrix = meshMatrix();
    glMultMatrixf(matrix.data());
    drawFaces();
    glPopMatrix();
}

// The root stands on the model's bounds: a model of several nodes centred in x and z with its top
// at 0, a one-node model moved up by half its height; every other node sits at its position.
void ModelNode::applyPlacement(bool isRoot, const ModelBounds& modelBounds) const {
    const Vector3& centre = modelBounds.centre;
    if (!isRoot) {
        glTranslatef(transform.position.x, transform.position.y, transform.position.z);
    } else if (singleNode) {
        glTranslatef(0, centre.y - modelBounds.maxBound.y, 0);
    } else {
        glTranslatef(-centre.x, -modelBounds.maxBound.y, -centre.z);
    }
}

// A one-node model's mesh is centred on the model's centre instead of being moved by its offset.
void ModelNode::applyMeshTranslation(bool isRoot, const ModelBounds& modelBounds) const {
    if (isRoot && singleNode) {
        glTranslatef(-modelBounds.centre.x, -modelBounds.centre.y, -modelBounds.centre.z);
    } else {
        glTranslatef(transform.offset.x, transform.offset.y, transform.offset.z);
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
