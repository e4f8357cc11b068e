#include "app/thumbnail_view.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
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

// How far the measuring projection reaches each way.
constexpr double kMeasuredReach = 1e6;
// GL's feedback data of a triangle: a token, a count, then its corners' x, y and z. A triangle that
// the six planes of the projection cut has up to nine corners.
constexpr std::size_t kFeedbackFloatsPerTriangle = 2 + 9 * 3;
// A ground cell sends at most three quads, each two triangles.
constexpr std::size_t kTrianglesPerCell = 6;
// How many of a world's placements are framed at most, eight corners each: 12 MB of points.
constexpr std::size_t kPlacementsFramed = 1 << 17;
// The share of the points at each end of an axis that the core of the scene leaves out.
constexpr double kOutlierShare = 0.02;
// The greys that stand for a texture that did not load.
constexpr std::size_t kRampTexels = 64;
constexpr std::size_t kDarkestGrey = 100;
constexpr std::size_t kLightestGrey = 240;

using Points = std::vector<Vector3>;

void addCorners(const BoundingBox& box, Points& points) {
    for (int k = 0; k < 8; ++k) {
        points.push_back({k & 1 ? box.max.x : box.min.x, k & 2 ? box.max.y : box.min.y,
                          k & 4 ? box.max.z : box.min.z});
    }
}

std::size_t triangleCount(const Model& model) {
    std::size_t count = 0;
    for (const ModelNode& node : model.nodes) {
        count += node.faces.size();
    }
    return count;
}

// Every vertex that `draw` sends, in the coordinates it draws in: GL's feedback mode gives them
// back through an orthographic projection wide enough for all of them. It counts what an estimate
// would leave out, such as a model's nodes below the root's children, turned as they are drawn.
// `triangles` is at least what `draw` sends; nothing when it sends more, or anything but polygons.
template <typename Draw>
std::optional<Points> fedBackVertices(std::size_t triangles, const Draw& draw) {
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    std::vector<GLfloat> feedback(triangles * kFeedbackFloatsPerTriangle);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(-kMeasuredReach, kMeasuredReach, -kMeasuredReach, kMeasuredReach, -kMeasuredReach,
            kMeasuredReach);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glFeedbackBuffer(static_cast<GLsizei>(feedback.size()), GL_3D, feedback.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint used = glRenderMode(GL_RENDER);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    if (used < 0) {
        return std::nullopt;
    }

    // Window coordinates back to the drawing's: the viewport's span is the projection's.
    const auto drawnCoordinate = [](double window, double start, double span) {
        return static_cast<float>((2 * (window - start) / span - 1) * kMeasuredReach);
    };
    const auto vertexAt = [&](GLint i) {
        return Vector3{drawnCoordinate(feedback[i], viewport[0], viewport[2]),
                       drawnCoordinate(feedback[i + 1], viewport[1], viewport[3]),
                       -drawnCoordinate(feedback[i + 2], 0, 1)};
    };
    Points vertices;
    for (GLint i = 0; i + 1 < used;) {
        const auto count = static_cast<GLint>(feedback[i + 1]);
        if (static_cast<GLint>(feedback[i]) != GL_POLYGON_TOKEN || count < 0 ||
            i + 2 + 3 * count > used) {
            return std::nullopt;
        }
        for (GLint k = 0; k < count; ++k) {
            vertices.push_back(vertexAt(i + 2 + 3 * k));
        }
        i += 2 + 3 * count;
    }
    return vertices;
}

// The k-th smallest of the values, 0 first.
float rankedValue(std::vector<float>& values, std::size_t k) {
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(k), values.end());
    return values[k];
}

// The box of the points that lie near most of the others. Per axis, the core of the points runs
// from the 2nd to the 98th percentile; a point further out of the core, along any axis, than the
// core's largest extent is a stray one (a vertex thrown far off by a damaged file) and left out of
// that axis. Points that are not finite are left out. The box of the origin for no points.
BoundingBox coreBox(const Points& points) {
    std::array<std::vector<float>, 3> axes;
    for (const Vector3& p : points) {
        if (std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z)) {
            axes[0].push_back(p.x);
            axes[1].push_back(p.y);
            axes[2].push_back(p.z);
        }
    }
    if (axes[0].empty()) {
        return {};
    }
    const std::size_t last = axes[0].size() - 1;
    const auto low =
        static_cast<std::size_t>(std::floor(kOutlierShare * static_cast<double>(last)));
    const auto high =
        static_cast<std::size_t>(std::ceil((1 - kOutlierShare) * static_cast<double>(last)));
    std::array<float, 3> coreLow{};
    std::array<float, 3> coreHigh{};
    float reach = 0;
    for (std::size_t a = 0; a < 3; ++a) {
        coreLow[a] = rankedValue(axes[a], low);
        coreHigh[a] = rankedValue(axes[a], high);
        reach = std::max(reach, coreHigh[a] - coreLow[a]);
    }
    std::array<float, 3> lowest = coreLow;
    std::array<float, 3> highest = coreHigh;
    for (std::size_t a = 0; a < 3; ++a) {
        for (const float value : axes[a]) {
            if (value >= coreLow[a] - reach && value <= coreHigh[a] + reach) {
                lowest[a] = std::min(lowest[a], value);
                highest[a] = std::max(highest[a], value);
            }
        }
    }
    return {{lowest[0], lowest[1], lowest[2]}, {highest[0], highest[1], highest[2]}};
}

// Measures what the scene draws in GL's feedback mode while the triangles measured stay within
// the budget, and estimates the rest, so that a framing takes bounded time and memory whatever the
// scene holds.
class SceneMeasure {
  public:
    explicit SceneMeasure(std::size_t triangleBudget) : budget_(triangleBudget) {}

    // The ground's vertices, or the corners of its extent.
    void addGround(const Ground& ground, Points& points) {
        const std::size_t triangles = ground.cells.size() * kTrianglesPerCell;
        if (const auto vertices = measured(triangles, [&] { ground.drawGround(); })) {
            points.insert(points.end(), vertices->begin(), vertices->end());
        } else {
            addCorners(ground.extent(), points);
        }
    }

    // Where drawing the model with draw(0, 0, 0, 0, 0, 0, 1, 1, 1) puts most of its vertices,
    // or its placed bounds. The draw moves its animations on by one step.
    BoundingBox modelBox(Model& model) {
        if (const auto vertices =
                measured(triangleCount(model), [&] { model.draw(0, 0, 0, 0, 0, 0, 1, 1, 1); })) {
            return coreBox(*vertices);
        }
        return model.placedBounds();
    }

  private:
    template <typename Draw>
    std::optional<Points> measured(std::size_t triangles, const Draw& draw) {
        if (triangles > budget_) {
            return std::nullopt;
        }
        budget_ -= triangles;
        // GL refuses an empty feedback buffer.
        return triangles == 0 ? Points{} : fedBackVertices(triangles, draw);
    }

    std::size_t budget_;
};

// The corners of the model's box at each of its placements, placed as World::drawWorld and
// Model::draw place them. The box holds the model's turn over of y already. Of more than
// kPlacementsFramed placements, an even sample of them.
void addPlacedBoxes(const World& world, const std::vector<BoundingBox>& modelBoxes,
                    Points& points) {
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    const std::size_t stride = world.instances.size() / kPlacementsFramed + 1;
    for (std::size_t i = 0; i < world.instances.size(); i += stride) {
        const ModelInstance& instance = world.instances[i];
        const auto k = static_cast<std::size_t>(instance.modelIndex);
        if (world.loaded[k] == 0) {
            continue;
        }
        glLoadIdentity();
        glTranslatef(instance.position.x, -instance.position.y, instance.position.z);
        glRotatef(instance.angles.x, 1, 0, 0);
        glRotatef(instance.angles.y, 0, 1, 0);
        glRotatef(instance.angles.z, 0, 0, 1);
        glScalef(instance.scale.x, instance.scale.y, instance.scale.z);
        Matrix4 placement{};
        glGetFloatv(GL_MODELVIEW_MATRIX, placement.data());
        Points corners;
        addCorners(modelBoxes[k], corners);
        for (const Vector3& corner : corners) {
            points.push_back(transformPoint(placement, corner));
        }
    }
    glPopMatrix();
}

// What the scene draws before renderFrame moves it by the scene offset and mirrors z.
Points scenePoints(AppState& app, std::size_t triangleBudget) {
    SceneMeasure measure(triangleBudget);
    Points points;
    if (app.groundMode) {
        measure.addGround(app.ground, points);
    } else if (app.worldMode) {
        World& world = app.world;
        measure.addGround(world.ground, points);
        std::vector<BoundingBox> modelBoxes;
        for (std::size_t k = 0; k < world.models.size(); ++k) {
            modelBoxes.push_back(world.loaded[k] != 0 ? measure.modelBox(world.models[k])
                                                      : BoundingBox{});
        }
        addPlacedBoxes(world, modelBoxes, points);
    } else if (!app.models.empty() && !app.models.front().nodes.empty()) {
        addCorners(measure.modelBox(app.models.front()), points);
    }
    return points;
}

// Every texture name the scene draws with, each once: 0 among them when a model node without
// textures draws with it.
std::vector<GLuint> sceneTextures(const AppState& app) {
    std::vector<GLuint> names;
    const auto addModel = [&names](const Model& model) {
        names.insert(names.end(), model.textures.begin(), model.textures.end());
        for (const ModelNode& node : model.nodes) {
            if (node.textures.empty()) {
                names.push_back(0);
            }
        }
    };
    if (app.groundMode) {
        names.insert(names.end(), app.ground.textures.begin(), app.ground.textures.end());
    } else if (app.worldMode) {
        names.insert(names.end(), app.world.ground.textures.begin(),
                     app.world.ground.textures.end());
        std::for_each(app.world.models.begin(), app.world.models.end(), addModel);
    } else if (!app.models.empty()) {
        addModel(app.models.front());
    }
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

// Whether the texture shows no picture of its own: it has no image, or holds the checkerboard
// that stands for the TGA files that did not load, the only luminance texture a load makes.
// Leaves the texture bound.
bool textureMissing(GLuint texture) {
    glBindTexture(GL_TEXTURE_2D, texture);
    GLint width = 0;
    GLint format = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
    return width == 0 || format == GL_LUMINANCE4;
}

// A row of greys from dark (s = 0) to light (s = 1) into the bound texture. Its rows repeat; a
// height ramp keeps its coordinates to the texel centres, so that clamping never blends in the
// border.
void loadGreyRamp() {
    std::array<GLubyte, kRampTexels> ramp{};
    for (std::size_t i = 0; i < ramp.size(); ++i) {
        ramp[i] = static_cast<GLubyte>(kDarkestGrey +
                                       (kLightestGrey - kDarkestGrey) * i / (ramp.size() - 1));
    }
    glTexImage2D(GL_TEXTURE_2D, 0, GL_LUMINANCE, static_cast<GLsizei>(kRampTexels), 1, 0,
                 GL_LUMINANCE, GL_UNSIGNED_BYTE, ramp.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
}

// Light from above and behind the eye shades each face by its normal, in its colour and that of
// its texture, the textures that loaded too. A face's normal may point out of either side of it:
// a second light from the opposite direction lights it the same either way.
void lightFromAbove() {
    static const GLfloat kNoLight[] = {0, 0, 0, 1};
    static const GLfloat kAmbient[] = {0.3f, 0.3f, 0.3f, 1};  // each light's
    static const GLfloat kDiffuse[] = {0.5f, 0.5f, 0.5f, 1};
    // Towards the lights, in the eye's coordinates.
    static const GLfloat kDirections[2][4] = {{-0.3f, 0.8f, 0.5f, 0}, {0.3f, -0.8f, -0.5f, 0}};
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    for (const GLenum light : {GL_LIGHT0, GL_LIGHT1}) {
        glLightfv(light, GL_POSITION, kDirections[light - GL_LIGHT0]);
        glLightfv(light, GL_AMBIENT, kAmbient);
        glLightfv(light, GL_DIFFUSE, kDiffuse);
        glEnable(light);
    }
    glPopMatrix();
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, kNoLight);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    glEnable(GL_COLOR_MATERIAL);
    glEnable(GL_NORMALIZE);
    glEnable(GL_LIGHTING);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
}

// Texture coordinate s from the height of each vertex as the camera sees it, over the box's
// height: the ramp's first texel centre at the bottom, its last at the top.
void rampAlongHeight(const BoundingBox& box) {
    const double height = std::max(static_cast<double>(box.max.y - box.min.y), 1e-6);
    const double first = 0.5 / static_cast<double>(kRampTexels);
    const double span = 1 - 2 * first;
    const GLfloat plane[4] = {0, static_cast<GLfloat>(span / height), 0,
                              static_cast<GLfloat>(first - span * box.min.y / height)};
    // The plane is given in the camera's coordinates: set under the camera's own matrix.
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    appState().camera.applyCamera();
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_EYE_LINEAR);
    glTexGenfv(GL_S, GL_EYE_PLANE, plane);
    glPopMatrix();
    glEnable(GL_TEXTURE_GEN_S);
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

BoundingBox sceneBox(AppState& app, std::size_t triangleBudget) {
    const BoundingBox drawn = coreBox(scenePoints(app, triangleBudget));
    // renderFrame mirrors z, then moves the scene by its offset.
    const Vector3 offset = sceneOffset(app.groundMode || app.worldMode);
    return {{drawn.min.x + offset.x, drawn.min.y + offset.y, offset.z - drawn.max.z},
            {drawn.max.x + offset.x, drawn.max.y + offset.y, offset.z - drawn.min.z}};
}

BoundingBox showWholeScene(std::int32_t width, std::int32_t height) {
    AppState& app = appState();
    const double aspect = static_cast<double>(width) / static_cast<double>(height);
    const BoundingBox box = sceneBox(app, kFramingTriangleBudget);
    const ThumbnailView view = frameBox(box, aspect);
    applyPerspective(aspect, view.nearPlane, view.farPlane);
    app.camera.setCamera(view.eye.x, view.eye.y, view.eye.z, view.lookAt.x, view.lookAt.y,
                         view.lookAt.z, 0, 1, 0);
    glDisable(GL_FOG);
    return box;
}

void shadeMissingTextures(const BoundingBox& box) {
    std::size_t missing = 0;
    const std::vector<GLuint> textures = sceneTextures(appState());
    for (const GLuint texture : textures) {
        if (textureMissing(texture)) {
            loadGreyRamp();
            ++missing;
        }
    }
    if (missing == 0) {
        return;
    }
    lightFromAbove();
    if (missing == textures.size()) {
        rampAlongHeight(box);
    }
}

std::size_t sceneTriangles(const AppState& app) {
    if (app.groundMode) {
        return app.ground.cells.size() * kTrianglesPerCell;
    }
    if (app.worldMode) {
        const World& world = app.world;
        std::size_t count = world.ground.cells.size() * kTrianglesPerCell;
        for (const ModelInstance& instance : world.instances) {
            const auto k = static_cast<std::size_t>(instance.modelIndex);
            count += world.loaded[k] != 0 ? triangleCount(world.models[k]) : 0;
        }
        return count;
    }
    return app.models.empty() ? 0 : triangleCount(app.models.front());
}

std::optional<std::string> frameFault(std::int32_t width, std::int32_t height) {
    const GLenum error = glGetError();
    if (error != GL_NO_ERROR) {
        while (glGetError() != GL_NO_ERROR) {
        }
        char text[64];
        std::snprintf(text, sizeof text, "GL error 0x%04X while drawing", error);
        return text;
    }
    std::vector<GLubyte> rgb(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) *
                             3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    for (std::size_t i = 3; i < rgb.size(); ++i) {
        if (rgb[i] != rgb[i % 3]) {
            return std::nullopt;
        }
    }
    return "the picture is all one colour";
}
