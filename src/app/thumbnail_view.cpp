#include "app/thumbnail_view.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <optional>
#include <vector>

#include "app/scene.h"
#include "app/window.h"
#include "platform/gl.h"

namespace {

constexpr double kPitch = 45 * std::numbers::pi / 180;  // down from the horizontal
constexpr double kFill = 0.9;                           // of the picture, in its tighter direction
constexpr double kFarthestFramed = 1e9;
// A box of one point is seen from this far.
constexpr double kNearestEye = 1;

// How far the measuring projection reaches each way, and how much GL feedback data a measure may
// take (32 MB, about 760,000 triangles); a scene that sends more is framed by its estimate.
constexpr double kMeasuredReach = 1e6;
constexpr GLsizei kFeedbackFloats = 1 << 23;

void widen(BoundingBox& box, Vector3 point) {
    box.min = perAxisMin(box.min, point);
    box.max = perAxisMax(box.max, point);
}

// The box of every vertex the scene sends, as drawPlacedScene places it: GL's feedback mode gives
// them back through an orthographic projection wide enough for all of them. It counts what an
// estimate would leave out, such as a model's nodes below the root's children, turned as they are
// drawn. Nothing when the scene sends nothing or more than the feedback buffer holds.
std::optional<BoundingBox> measuredSceneBox() {
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    std::vector<GLfloat> feedback(kFeedbackFloats);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(-kMeasuredReach, kMeasuredReach, -kMeasuredReach, kMeasuredReach, -kMeasuredReach,
            kMeasuredReach);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glFeedbackBuffer(kFeedbackFloats, GL_3D, feedback.data());
    glRenderMode(GL_FEEDBACK);
    drawPlacedScene();
    const GLint used = glRenderMode(GL_RENDER);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);

    // Window coordinates back to the scene's: the viewport's span is the projection's.
    const auto sceneCoordinate = [](double window, double start, double span) {
        return static_cast<float>((2 * (window - start) / span - 1) * kMeasuredReach);
    };
    const auto vertexAt = [&](GLint i) {
        return Vector3{sceneCoordinate(feedback[i], viewport[0], viewport[2]),
                       sceneCoordinate(feedback[i + 1], viewport[1], viewport[3]),
                       -sceneCoordinate(feedback[i + 2], 0, 1)};
    };
    std::optional<BoundingBox> box;
    for (GLint i = 0; i < used;) {
        // Only polygons come from a scene: a token, a count, then that many vertices.
        if (static_cast<GLint>(feedback[i]) != GL_POLYGON_TOKEN) {
            return std::nullopt;
        }
        const auto count = static_cast<GLint>(feedback[i + 1]);
        for (GLint k = 0; k < count; ++k) {
            const Vector3 vertex = vertexAt(i + 2 + 3 * k);
            if (box) {
                widen(*box, vertex);
            } else {
                box = BoundingBox{vertex, vertex};
            }
        }
        i += 2 + 3 * count;
    }
    return box;
}

bool framable(const BoundingBox& box) {
    const float coordinates[6] = {box.min.x, box.min.y, box.min.z, box.max.x, box.max.y, box.max.z};
    const bool inReach = std::all_of(std::begin(coordinates), std::end(coordinates), [](float c) {
        return std::isfinite(c) && std::abs(c) <= kFarthestFramed;
    });
    return inReach && box.min.x <= box.max.x && box.min.y <= box.max.y && box.min.z <= box.max.z;
}

}  // namespace

ThumbnailView frameBox(const BoundingBox& box, double aspect) {
    const BoundingBox framed = framable(box) ? box : BoundingBox{};
    const Vector3 centre = midpoint(framed.min, framed.max);
    // The view's axes: forward (0, -sin, -cos), up (0, cos, -sin), right (1, 0, 0).
    const double sine = std::sin(kPitch);
    const double cosine = std::cos(kPitch);
    // Half the picture's height and width, per unit of depth, that the box may take.
    const double halfHeight = std::tan(kFieldOfViewDegrees / 2 * std::numbers::pi / 180) * kFill;
    const double halfWidth = halfHeight * aspect;

    // Each corner, relative to the centre, lies `along` ahead of it, `up` above and `right` to the
    // right. From an eye `distance` behind the centre, moved by `shiftUp` and `shiftRight` across
    // the view, a corner is in the picture when |up - shiftUp| is at most halfHeight times its
    // depth, distance + along, and likewise |right - shiftRight| with halfWidth. The reaches below
    // give the nearest such eye, shifted so that the box is centred in its tighter direction.
    double lowestReachUp = std::numeric_limits<double>::max();      // of up + halfHeight * along
    double highestReachUp = std::numeric_limits<double>::lowest();  // of up - halfHeight * along
    double lowestReachRight = std::numeric_limits<double>::max();
    double highestReachRight = std::numeric_limits<double>::lowest();
    double nearestAlong = 0;
    double farthestAlong = 0;
    for (int k = 0; k < 8; ++k) {
        const double x = (k & 1 ? framed.max.x : framed.min.x) - centre.x;
        const double y = (k & 2 ? framed.max.y : framed.min.y) - centre.y;
        const double z = (k & 4 ? framed.max.z : framed.min.z) - centre.z;
        const double along = -sine * y - cosine * z;
        const double up = cosine * y - sine * z;
        lowestReachUp = std::min(lowestReachUp, up + halfHeight * along);
        highestReachUp = std::max(highestReachUp, up - halfHeight * along);
        lowestReachRight = std::min(lowestReachRight, x + halfWidth * along);
        highestReachRight = std::max(highestReachRight, x - halfWidth * along);
        nearestAlong = std::min(nearestAlong, along);
        farthestAlong = std::max(farthestAlong, along);
    }
    const double distance =
        std::max({kNearestEye, (highestReachUp - lowestReachUp) / (2 * halfHeight),
                  (highestReachRight - lowestReachRight) / (2 * halfWidth)});
    const double shiftUp = (highestReachUp + lowestReachUp) / 2;
    const double shiftRight = (highestReachRight + lowestReachRight) / 2;

    const Vector3 lookAt{static_cast<float>(centre.x + shiftRight),
                         static_cast<float>(centre.y + shiftUp * cosine),
                         static_cast<float>(centre.z - shiftUp * sine)};
    const Vector3 eye{lookAt.x, static_cast<float>(lookAt.y + distance * sine),
                      static_cast<float>(lookAt.z + distance * cosine)};
    // The nearest corner is at depth 0 only for a box without extent across the view.
    const double nearPlane = std::max((distance + nearestAlong) / 2, distance / 100);
    const double farPlane = (distance + farthestAlong) * 1.5;
    return {eye, lookAt, nearPlane, farPlane};
}

BoundingBox sceneBox(AppState& app) {
    if (const auto measured = measuredSceneBox()) {
        return *measured;
    }
    BoundingBox drawn;
    if (app.groundMode) {
        drawn = app.ground.extent();
    } else if (app.worldMode) {
        drawn = app.world.ground.extent();
    } else if (!app.models.empty()) {
        drawn = app.models.front().placedBounds();
    }
    // renderFrame mirrors z, then moves the scene by its offset.
    const Vector3 offset = sceneOffset(app.groundMode || app.worldMode);
    return {{drawn.min.x + offset.x, drawn.min.y + offset.y, offset.z - drawn.max.z},
            {drawn.max.x + offset.x, drawn.max.y + offset.y, offset.z - drawn.min.z}};
}

void showWholeScene(std::int32_t width, std::int32_t height) {
    AppState& app = appState();
    const double aspect = static_cast<double>(width) / static_cast<double>(height);
    const ThumbnailView view = frameBox(sceneBox(app), aspect);
    applyPerspective(aspect, view.nearPlane, view.farPlane);
    app.camera.setCamera(view.eye.x, view.eye.y, view.eye.z, view.lookAt.x, view.lookAt.y,
                         view.lookAt.z, 0, 1, 0);
    glDisable(GL_FOG);
}
