#include "view/vertex_arrays.h"

#include <cmath>

#include "platform/gl.h"

namespace {

// ln 2048: the fog factor e^-((density * z)^2) is below 1/2048 where (density * z)^2 passes it.
constexpr float kFogExponentLimit = 7.6246189862f;

}  // namespace

ClientArrays::ClientArrays() : lit_(glIsEnabled(GL_LIGHTING) == GL_TRUE) {
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    if (lit_) {
        glEnableClientState(GL_NORMAL_ARRAY);
    }
}

ClientArrays::~ClientArrays() {
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    if (lit_) {
        glDisableClientState(GL_NORMAL_ARRAY);
    }
}

void ClientArrays::pointAt(const TexturedVertex* vertices, const Vector3* normals) const {
    constexpr GLsizei kStride = sizeof(TexturedVertex);
    glTexCoordPointer(2, GL_FLOAT, kStride, &vertices->s);
    glVertexPointer(3, GL_FLOAT, kStride, &vertices->position);
    if (lit_) {
        glNormalPointer(GL_FLOAT, sizeof(Vector3), normals);
    }
}

FogLimit FogLimit::ofCurrentState() {
    FogLimit limit;
    GLint mode = 0;
    GLfloat density = 0;
    GLfloat fogColour[4] = {};
    GLfloat clearColour[4] = {};
    glGetIntegerv(GL_FOG_MODE, &mode);
    glGetFloatv(GL_FOG_DENSITY, &density);
    glGetFloatv(GL_FOG_COLOR, fogColour);
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColour);
    const bool sameColour = fogColour[0] == clearColour[0] && fogColour[1] == clearColour[1] &&
                            fogColour[2] == clearColour[2];
    if (glIsEnabled(GL_FOG) != GL_TRUE || mode != GL_EXP2 || !sameColour || !(density > 0)) {
        return limit;
    }
    // Fog reads the eye's distance along -z (or the true distance, which is no shorter): beyond
    // the plane z = -distance in eye space, as seen through the model-view matrix.
    const float distance = std::sqrt(kFogExponentLimit) / density;
    GLfloat modelView[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelView);
    for (int column = 0; column < 4; ++column) {
        limit.plane_[column] = modelView[4 * column + 2] + distance * modelView[4 * column + 3];
    }
    limit.active_ = std::isfinite(distance);
    return limit;
}

bool FogLimit::beyond(const BoundingBox& box) const {
    if (!active_) {
        return false;
    }
    return planeAtFurthestCorner(plane_, box, true) < 0;
}

bool FogLimit::beyond(Vector3 centre, float radius) const {
    if (!active_) {
        return false;
    }
    const float scale =
        std::sqrt(plane_[0] * plane_[0] + plane_[1] * plane_[1] + plane_[2] * plane_[2]);
    return plane_[0] * centre.x + plane_[1] * centre.y + plane_[2] * centre.z + plane_[3] +
               radius * scale <
           0;
}
