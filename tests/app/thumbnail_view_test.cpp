#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>
#include <set>
#include <vector>

#include "app/scene.h"
#include "app/thumbnail_view.h"
#include "app/window.h"
#include "formats/byte_writer.h"
#include "formats/ground_writer.h"
#include "formats/image_writer.h"
#include "formats/model_writer.h"
#include "formats/world_writer.h"
#include "gl_test.h"
#include "platform/gl.h"
#include "shell_test.h"

namespace {

// Where things land in a picture, in pixels, and whether all of them land inside it, between the
// near and far planes.
struct Spread {
    double left = std::numeric_limits<double>::max();
    double right = std::numeric_limits<double>::lowest();
    double bottom = std::numeric_limits<double>::max();
    double top = std::numeric_limits<double>::lowest();
    bool allInside = true;

    void add(double x, double y, bool inside) {
        left = std::min(left, x);
        right = std::max(right, x);
        bottom = std::min(bottom, y);
        top = std::max(top, y);
        allInside = allInside && inside;
    }
    // The larger of the shares of the picture's width and height that the points span.
    double fill(int width, int height) const {
        return std::max((right - left) / width, (top - bottom) / height);
    }
};

using FrameBoxTest = HeadlessGlTest;

// Projects the box's corners through GL's own matrices for the view.
Spread cornersSeen(const BoundingBox& box, const ThumbnailView& view, int width, int height) {
    applyPerspective(static_cast<double>(width) / height, view.nearPlane, view.farPlane);
    gluLookAt(view.eye.x, view.eye.y, view.eye.z, view.lookAt.x, view.lookAt.y, view.lookAt.z, 0, 1,
              0);
    GLdouble modelView[16];
    GLdouble projection[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    const GLint viewport[4] = {0, 0, width, height};
    Spread spread;
    for (int k = 0; k < 8; ++k) {
        GLdouble x = 0;
        GLdouble y = 0;
        GLdouble depth = 0;
        gluProject(k & 1 ? box.max.x : box.min.x, k & 2 ? box.max.y : box.min.y,
                   k & 4 ? box.max.z : box.min.z, modelView, projection, viewport, &x, &y, &depth);
        spread.add(x, y, x >= 0 && x <= width && y >= 0 && y <= height && depth > 0 && depth < 1);
    }
    return spread;
}

TEST_F(FrameBoxTest, EveryCornerIsInThePictureAndTheBoxFillsMostOfIt) {
    const BoundingBox boxes[] = {
        {{-640, -170, -640}, {640, -50, 640}},  // a ground with hills
        {{-5000, -50, -10}, {5000, -50, 10}},   // a long flat strip
        {{-10, -50, -3000}, {10, -50, 3000}},   // the same along the view
        {{-5, 0, -105}, {5, 60, -95}},          // a tower
        {{100, 200, -300}, {150, 250, -250}},   // a cube away from the origin
    };
    const int sizes[][2] = {{256, 192}, {200, 200}, {100, 200}, {400, 200}};
    for (const BoundingBox& box : boxes) {
        for (const auto& size : sizes) {
            const ThumbnailView view =
                frameBox(box, static_cast<double>(size[0]) / static_cast<double>(size[1]));
            const Spread seen = cornersSeen(box, view, size[0], size[1]);
            SCOPED_TRACE(testing::Message() << "box from " << box.min.x << " to " << box.max.x
                                            << ", picture " << size[0] << " x " << size[1]);
            EXPECT_TRUE(seen.allInside);
            EXPECT_GT(seen.fill(size[0], size[1]), 0.85);
            // Looking down at about 45 degrees, along -z.
            const Vector3 direction = normalize(vectorDifference(view.lookAt, view.eye));
            EXPECT_NEAR(std::asin(-direction.y) * 180 / 3.14159265, 45, 15);
            EXPECT_LT(direction.z, 0);
        }
    }
}

// A point, a box turned inside out, one not finite and one beyond reach: the view is still one GL
// can use, and it shows the point, or else the origin.
TEST_F(FrameBoxTest, BoxesWithoutUsableExtentStillGiveAView) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const BoundingBox origin{};
    const struct {
        BoundingBox box;
        BoundingBox shown;
    } cases[] = {{{{3, 4, 5}, {3, 4, 5}}, {{3, 4, 5}, {3, 4, 5}}},
                 {{{1, 1, 1}, {-1, -1, -1}}, origin},
                 {{{0, nan, 0}, {1, 1, 1}}, origin},
                 {{{-1e30f, 0, 0}, {1e30f, 1, 1}}, origin}};
    for (const auto& [box, shown] : cases) {
        const ThumbnailView view = frameBox(box, 4.0 / 3.0);
        EXPECT_GT(view.nearPlane, 0);
        EXPECT_GT(view.farPlane, view.nearPlane);
        EXPECT_GT(vectorLength(vectorDifference(view.lookAt, view.eye)), 0);
        EXPECT_TRUE(cornersSeen(shown, view, 256, 192).allInside) << box.min.x;
    }
}

// The whole scene through the shell: loaded, framed and drawn as the thumbnailer draws it.
class ThumbnailSceneTest : public ShellTest {
  protected:
    static constexpr int kWidth = 256;
    static constexpr int kHeight = 192;

    // A fresh state for each scene: the mode flags of a set-up are never cleared.
    void useScene(const std::string& name) {
        appState() = AppState{};
        appState().dataRoot = folder.string();
        appState().names = {(folder.path() / name).string()};
        appState().modelLogPath.clear();  // as the thumbnailer loads a world: without a log
    }

    // Opens the window, frames the scene and records what a frame sends: every triangle drawn
    // whole (none cut at the picture's edge, none left out), spanning most of the picture. GL
    // reports a quad as two triangles.
    void expectWholeSceneDrawn(std::size_t triangleCount) {
        ASSERT_EQ(openWindow("ORVALIS", kWidth, kHeight, 16, false), 1);
        ASSERT_TRUE(appState().sceneRead);
        showWholeScene(kWidth, kHeight);
        EXPECT_FALSE(glIsEnabled(GL_FOG));
        const std::vector<FeedbackPolygon> polygons = recordFeedback([] { renderFrame(); });
        EXPECT_EQ(polygons.size(), triangleCount);
        Spread spread;
        constexpr float kBorder = 0.5f;  // a polygon cut at the edge has corners on it
        for (const FeedbackPolygon& polygon : polygons) {
            for (const FeedbackVertex& vertex : polygon) {
                spread.add(vertex.x, vertex.y,
                           vertex.x > kBorder && vertex.x < kWidth - kBorder &&
                               vertex.y > kBorder && vertex.y < kHeight - kBorder);
            }
        }
        EXPECT_TRUE(spread.allInside);
        EXPECT_GT(spread.fill(kWidth, kHeight), 0.6);
        closeWindow();
    }
};

// A 4 x 3 ground whose middle cells rise far above the others: 12 tops.
GroundFile spikedGround() {
    GroundFile ground = flatGround(4, 3, "none.bmp");
    ground.cells[5].heights[0] = 150;
    ground.cells[6].heights[3] = 180;
    ground.cells[1].heights[2] = -40;
    return ground;
}

TEST_F(ThumbnailSceneTest, GroundsAndWorldsAreDrawnWholeWithTheirHeights) {
    ASSERT_TRUE(writeGroundFile((folder.path() / "spiked.gnd").string(), spikedGround()));
    useScene("spiked.gnd");
    expectWholeSceneDrawn(24);

    // 10000 units long: the viewer's far plane would leave nothing of it.
    ASSERT_TRUE(
        writeGroundFile((folder.path() / "strip.gnd").string(), flatGround(1000, 1, "none.bmp")));
    useScene("strip.gnd");
    expectWholeSceneDrawn(2000);

    ASSERT_TRUE(writeGroundFile((folder.path() / "data" / "spiked.gnd").string(), spikedGround()));
    ASSERT_TRUE(writeWorldFile((folder.path() / "spiked.rsw").string(), {"spiked.gnd", "", {}}));
    useScene("spiked.rsw");
    expectWholeSceneDrawn(24);
}

ModelFileNode triangleNode(const std::string& name, const std::string& parent, Vector3 corner) {
    ModelFileNode node;
    node.name = name;
    node.parentName = parent;
    node.vertices = {
        corner, {corner.x + 30, corner.y, corner.z}, {corner.x, corner.y + 20, corner.z + 8}};
    node.texCoords = {{0, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    node.faces = {modelFace({0, 1, 2}, {0, 1, 2})};
    return node;
}

TEST_F(ThumbnailSceneTest, ModelsAreDrawnWholeWithEveryNode) {
    // One node far from its own origin.
    ModelFile single;
    single.nodes = {triangleNode("alone", "", {200, 150, -90})};
    ASSERT_TRUE(writeModelFile((folder.path() / "single.omd").string(), single));
    useScene("single.omd");
    expectWholeSceneDrawn(1);

    // A root scaled unevenly, with an offset, and a child placed beside it.
    ModelFile family;
    ModelFileNode root = triangleNode("root", "", {-10, 40, 5});
    root.transform.scale = {3, 0.5f, 2};
    root.transform.offset = {0, 25, 0};
    ModelFileNode child = triangleNode("child", "root", {0, 0, 0});
    child.transform.position = {60, -30, 10};
    family.nodes = {root, child};
    ASSERT_TRUE(writeModelFile((folder.path() / "family.omd").string(), family));
    useScene("family.omd");
    expectWholeSceneDrawn(2);

    // A grandchild far out, turned: the model's bounds count only the root and its children, so
    // like a windmill's sails it reaches beyond them.
    ModelFileNode grandchild = triangleNode("grandchild", "child", {0, 0, 0});
    grandchild.transform.position = {200, 150, 0};
    grandchild.transform.rotationAngle = 1;
    grandchild.transform.rotationAxis = {0, 0, 1};
    family.nodes.push_back(grandchild);
    ASSERT_TRUE(writeModelFile((folder.path() / "tree.omd").string(), family));
    useScene("tree.omd");
    expectWholeSceneDrawn(3);

    // Framing within a budget too small for the grandchild: the model's placed bounds, which
    // leave it out. The triangle count of a frame is the model's.
    ASSERT_EQ(openWindow("ORVALIS", kWidth, kHeight, 16, false), 1);
    EXPECT_EQ(sceneTriangles(appState()), 3u);
    EXPECT_LT(sceneBox(appState(), 2).max.x + 100, sceneBox(appState(), 3).max.x);
    closeWindow();
}

// A world whose placements reach far beyond its ground, turned and scaled on every axis: each
// model is measured once and its box placed at each placement, so the frame still holds every
// triangle drawn, and the count of a frame is the ground's tops and each placement's faces.
TEST_F(ThumbnailSceneTest, PlacedModelsAreDrawnWholeWhereverTheyStand) {
    ASSERT_TRUE(writeGroundFile((folder.path() / "data" / "field.gnd").string(),
                                flatGround(4, 3, "none.bmp")));
    ModelFile pole;
    pole.nodes = {triangleNode("pole", "", {0, 0, 0})};
    ASSERT_TRUE(writeModelFile((folder.path() / "data" / "model" / "pole.omd").string(), pole));
    WorldFileDescription world{"field.gnd", "", {}};
    for (int i = 0; i < 12; ++i) {
        const auto angle = static_cast<float>(i * 37);
        world.placements.push_back(
            {"pole.omd",
             {static_cast<float>(i % 4 * 150 - 300), static_cast<float>(i * 9),
              static_cast<float>(i / 4 * 90)},
             {angle, 2 * angle, 3 * angle},
             {static_cast<float>(1 + i % 3), 2 - 0.1f * static_cast<float>(i),
              0.5f + static_cast<float>(i % 2)}});
    }
    ASSERT_TRUE(writeWorldFile((folder.path() / "field.rsw").string(), world));
    useScene("field.rsw");
    expectWholeSceneDrawn(24 + 12);
    EXPECT_EQ(sceneTriangles(appState()), 12 * 6 + 12u);
}

// A node of 300 triangles in a strip within 10 units.
ModelFileNode stripNode(const std::string& name, const std::string& parent) {
    ModelFileNode node = triangleNode(name, parent, {0, 0, 0});
    for (std::int16_t i = 3; i < 300; ++i) {
        node.vertices.push_back({static_cast<float>(i % 10), static_cast<float>(i % 7), 0});
        node.faces.push_back(modelFace(
            {static_cast<std::int16_t>(i - 2), static_cast<std::int16_t>(i - 1), i}, {0, 1, 2}));
    }
    return node;
}

// The largest extent of the box along an axis.
float largestExtent(const BoundingBox& box) {
    return std::max({box.max.x - box.min.x, box.max.y - box.min.y, box.max.z - box.min.z});
}

// One vertex millions of units off, in a ground, in a model's node or in one of many placed models,
// is left out of the framing, which keeps to what the rest of the scene spans.
TEST_F(ThumbnailSceneTest, OneStrayVertexIsLeftOutOfTheFraming) {
    const auto framedBox = [&](const std::string& scene) {
        useScene(scene);
        EXPECT_EQ(openWindow("ORVALIS", kWidth, kHeight, 16, false), 1);
        const BoundingBox box = sceneBox(appState(), kFramingTriangleBudget);
        closeWindow();
        return box;
    };
    const std::filesystem::path data = folder.path() / "data";
    GroundFile spiked = flatGround(20, 20, "none.bmp");
    spiked.cells[210].heights[1] = -5e6f;
    ASSERT_TRUE(writeGroundFile((data / "spiked.gnd").string(), spiked));
    EXPECT_LT(largestExtent(framedBox("data/spiked.gnd")), 201);

    // Below the root's children, where the model's bounds do not reach: its placement stays.
    ModelFile tree;
    tree.nodes = {stripNode("root", ""), triangleNode("child", "root", {0, 0, 0}),
                  stripNode("grandchild", "child")};
    tree.nodes[2].vertices[150] = {5e6f, 0, 0};
    ASSERT_TRUE(writeModelFile((data / "model" / "tree.omd").string(), tree));
    EXPECT_LT(largestExtent(framedBox("data/model/tree.omd")), 50);

    ModelFile strip;
    strip.nodes = {stripNode("strip", "")};
    ModelFile stray = strip;
    stray.nodes[0].vertices[150] = {5e6f, 0, 0};
    ASSERT_TRUE(writeModelFile((data / "model" / "strip.omd").string(), strip));
    ASSERT_TRUE(writeModelFile((data / "model" / "stray.omd").string(), stray));
    WorldFileDescription world{"spiked.gnd", "", {}};
    for (int i = 0; i < 60; ++i) {
        world.placements.push_back(
            {i == 30 ? "stray.omd" : "strip.omd",
             {static_cast<float>(i % 10 * 10 - 45), 0, static_cast<float>(i / 10 * 10 - 25)}});
    }
    ASSERT_TRUE(writeWorldFile((folder.path() / "stray.rsw").string(), world));
    EXPECT_LT(largestExtent(framedBox("stray.rsw")), 250);
}

// A frame that shows nothing but the background, or that GL failed to draw, is no picture. A
// ground without its textures is white, like the background.
TEST_F(ThumbnailSceneTest, FramesOfOneColourOrWithAGlErrorAreNoPictures) {
    BmpPicture stripes{2, 2, {0x3366AA, 0xCC8833, 0xCC8833, 0x3366AA}, {}};
    ASSERT_TRUE(
        writeFile((folder.path() / "data" / "texture" / "stripes.bmp").string(), bmpFile(stripes)));
    GroundFile striped = spikedGround();
    striped.textureNames = {"stripes.bmp"};
    ASSERT_TRUE(writeGroundFile((folder.path() / "striped.gnd").string(), striped));
    ASSERT_TRUE(writeGroundFile((folder.path() / "spiked.gnd").string(), spikedGround()));
    ASSERT_TRUE(writeWorldFile((folder.path() / "empty.rsw").string(), {"missing.gnd", "", {}}));
    const struct {
        const char* scene;
        bool wrongCall;  // one that GL refuses with GL_INVALID_ENUM
        const char* fault;
    } cases[] = {{"striped.gnd", false, ""},
                 {"empty.rsw", false, "the picture is all one colour"},
                 {"spiked.gnd", false, "the picture is all one colour"},
                 {"striped.gnd", true, "GL error 0x0500 while drawing"}};
    for (const auto& [scene, wrongCall, fault] : cases) {
        useScene(scene);
        ASSERT_EQ(openWindow("ORVALIS", kWidth, kHeight, 16, false), 1);
        showWholeScene(kWidth, kHeight);
        renderFrame();
        if (wrongCall) {
            glEnable(0x1234);
        }
        EXPECT_EQ(frameFault(kWidth, kHeight).value_or(""), fault) << scene;
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        closeWindow();
    }
}

// The colours of a frame, the white background left out: how many pixels are grey, how many
// coloured, and how many grey levels they take.
struct FrameShades {
    std::size_t grey = 0;
    std::size_t coloured = 0;
    std::set<int> greyLevels;
};

FrameShades frameShades(int width, int height) {
    std::vector<GLubyte> rgb(static_cast<std::size_t>(width * height * 3));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    FrameShades shades;
    for (std::size_t i = 0; i < rgb.size(); i += 3) {
        if (rgb[i] == 255 && rgb[i + 1] == 255 && rgb[i + 2] == 255) {
            continue;
        }
        const bool grey = rgb[i] == rgb[i + 1] && rgb[i] == rgb[i + 2];
        shades.grey += grey ? 1 : 0;
        shades.coloured += grey ? 0 : 1;
        if (grey) {
            shades.greyLevels.insert(rgb[i]);
        }
    }
    return shades;
}

// Faces whose texture did not load (a BMP, a TGA, a model node without textures) are drawn in
// greys shaded by their height and slope rather than white on white; the textures that loaded
// keep their colours; a scene whose textures all loaded is drawn as the viewer draws it.
TEST_F(ThumbnailSceneTest, FacesWithoutTheirTexturesAreShadedGrey) {
    const std::filesystem::path data = folder.path() / "data";
    BmpPicture stripes{2, 2, {0x3366AA, 0xCC8833, 0xCC8833, 0x3366AA}, {}};
    ASSERT_TRUE(writeFile((data / "texture" / "stripes.bmp").string(), bmpFile(stripes)));
    GroundFile striped = spikedGround();
    striped.textureNames = {"stripes.bmp"};
    ASSERT_TRUE(writeGroundFile((data / "striped.gnd").string(), striped));
    ASSERT_TRUE(writeGroundFile((data / "spiked.gnd").string(), spikedGround()));
    ModelFile bare;  // its node has no texture table
    bare.nodes = {stripNode("bare", "")};
    ASSERT_TRUE(writeModelFile((data / "model" / "bare.omd").string(), bare));
    ModelFile checkered = bare;  // its texture is a TGA that is not there
    checkered.textureNames = {"missing.tga"};
    checkered.nodes[0].textureIndices = {0};
    ASSERT_TRUE(writeModelFile((data / "model" / "checkered.omd").string(), checkered));
    WorldFileDescription world{"striped.gnd", "", {}};
    for (int i = 0; i < 4; ++i) {
        world.placements.push_back({"checkered.omd", {static_cast<float>(i * 20 - 30), -40, 0}});
    }
    ASSERT_TRUE(writeWorldFile((folder.path() / "mixed.rsw").string(), world));

    const struct {
        const char* scene;
        bool grey;
        bool coloured;
    } cases[] = {{"data/spiked.gnd", true, false},
                 {"data/model/bare.omd", true, false},
                 {"data/model/checkered.omd", true, false},
                 {"mixed.rsw", true, true},
                 {"data/striped.gnd", false, true}};
    for (const auto& [scene, grey, coloured] : cases) {
        useScene(scene);
        ASSERT_EQ(openWindow("ORVALIS", kWidth, kHeight, 16, false), 1);
        shadeMissingTextures(showWholeScene(kWidth, kHeight));
        EXPECT_EQ(glIsEnabled(GL_LIGHTING), static_cast<GLboolean>(grey)) << scene;
        renderFrame();
        EXPECT_EQ(frameFault(kWidth, kHeight), std::nullopt) << scene;
        const FrameShades shades = frameShades(kWidth, kHeight);
        EXPECT_EQ(shades.grey > 100, grey) << scene;
        EXPECT_EQ(shades.coloured > 100, coloured) << scene;
        if (grey) {
            EXPECT_GT(shades.greyLevels.size(), 8u) << scene;
        }
        closeWindow();
    }
}

}  // namespace
