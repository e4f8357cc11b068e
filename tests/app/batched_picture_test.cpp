// The batched renderer draws the pictures of the immediate one: the demo world, the benchmark
// world and a world of overlapping blended faces, from three poses each, at the viewer's settings
// (its window, projection, 16-bit depth and fog). Per pose at most 0.5% of the pixels may differ
// by more than 2 levels in a channel, and both renderers step every animation clock alike. With
// ORVALIS_PICTURE_FOLDER set, the pictures are written there as PNG files.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "app/app_state.h"
#include "app/frame_picture.h"
#include "app/viewer.h"
#include "app/window.h"
#include "benchmark_world.h"
#include "demo/demo_scene.h"
#include "formats/byte_writer.h"
#include "formats/ground_writer.h"
#include "formats/image_writer.h"
#include "formats/model_writer.h"
#include "formats/world_writer.h"
#include "gl_test.h"
#include "platform/gl.h"
#include "shell_test.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr double kMostPixelsApart = 0.005;
constexpr int kLevelsApart = 2;
// Frames drawn before the pictures, so that the animations are under way.
constexpr int kFramesBefore = 7;

struct Pose {
    Vector3 eye;
    Vector3 lookAt;
};

// The clock of every animated node of the scene.
std::vector<std::int32_t*> animationClocks(AppState& app) {
    std::vector<std::int32_t*> clocks;
    std::vector<Model>& models = app.worldMode ? app.world.models : app.models;
    for (Model& model : models) {
        for (ModelNode& node : model.nodes) {
            clocks.push_back(&node.animTime);
        }
    }
    return clocks;
}

std::vector<std::int32_t> clockValues(AppState& app) {
    std::vector<std::int32_t> values;
    for (const std::int32_t* clock : animationClocks(app)) {
        values.push_back(*clock);
    }
    return values;
}

void setClocks(AppState& app, const std::vector<std::int32_t>& values) {
    const std::vector<std::int32_t*> clocks = animationClocks(app);
    for (std::size_t i = 0; i < clocks.size(); ++i) {
        *clocks[i] = values[i];
    }
}

// A frame as renderFrame draws it, without the swap, read back as RGB rows from the bottom.
std::vector<std::uint8_t> drawnFrame(Renderer renderer) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    appState().camera.applyCamera();
    drawPlacedScene(renderer);
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(kWidth) * kHeight * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, kWidth, kHeight, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    return rgb;
}

double shareApart(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
    std::size_t apart = 0;
    for (std::size_t pixel = 0; pixel + 2 < a.size(); pixel += 3) {
        for (std::size_t c = pixel; c < pixel + 3; ++c) {
            if (std::abs(a[c] - b[c]) > kLevelsApart) {
                ++apart;
                break;
            }
        }
    }
    return static_cast<double>(apart) / static_cast<double>(a.size() / 3);
}

// The share of pixels that are not the white of the clear colour and the fog.
double shareDrawn(const std::vector<std::uint8_t>& rgb) {
    std::size_t drawn = 0;
    for (std::size_t pixel = 0; pixel + 2 < rgb.size(); pixel += 3) {
        drawn += (rgb[pixel] < 250 || rgb[pixel + 1] < 250 || rgb[pixel + 2] < 250) ? 1 : 0;
    }
    return static_cast<double>(drawn) / static_cast<double>(rgb.size() / 3);
}

void keepPicture(const std::string& name, const std::vector<std::uint8_t>& bottomUp) {
    const char* folder = std::getenv("ORVALIS_PICTURE_FOLDER");
    if (folder == nullptr) {
        return;
    }
    std::vector<std::uint8_t> topDown;
    for (int row = kHeight - 1; row >= 0; --row) {
        const auto start = bottomUp.begin() + static_cast<std::ptrdiff_t>(row) * kWidth * 3;
        topDown.insert(topDown.end(), start, start + kWidth * 3);
    }
    writeFile(std::string(folder) + "/" + name + ".png", pngFile(kWidth, kHeight, topDown));
}

class BatchedPicture : public ShellTest {
  protected:
    // Loads the world as a scene named on the command line does, in a window of the viewer's.
    void openWorld(const std::string& dataRoot, const std::string& worldPath) {
        AppState& app = appState();
        app.dataRoot = dataRoot;
        app.names = {worldPath};
        app.sceneMode = SceneMode::world;
        app.modelLogPath.clear();
        app.renderer = Renderer::batched;
        ASSERT_EQ(openWindow("ORVALIS", kWidth, kHeight, 16, false), 1);
        ASSERT_TRUE(app.sceneRead);
        for (int frame = 0; frame < kFramesBefore; ++frame) {
            renderFrame();
        }
    }

    // Both renderers from each pose, from the same animation clocks.
    void expectSamePictures(const std::string& scene, const std::vector<Pose>& poses) {
        AppState& app = appState();
        for (std::size_t p = 0; p < poses.size(); ++p) {
            SCOPED_TRACE(scene + " pose " + std::to_string(p));
            const Pose& pose = poses[p];
            app.camera.setCamera(pose.eye.x, pose.eye.y, pose.eye.z, pose.lookAt.x, pose.lookAt.y,
                                 pose.lookAt.z, 0, 1, 0);
            const std::vector<std::int32_t> before = clockValues(app);
            const std::vector<std::uint8_t> immediate = drawnFrame(Renderer::immediate);
            const std::vector<std::int32_t> afterImmediate = clockValues(app);
            setClocks(app, before);
            const std::vector<std::uint8_t> batched = drawnFrame(Renderer::batched);
            EXPECT_EQ(clockValues(app), afterImmediate);
            const double apart = shareApart(immediate, batched);
            std::printf("%s, pose %zu: %.4f%% of the pixels more than %d levels apart\n",
                        scene.c_str(), p, 100 * apart, kLevelsApart);
            EXPECT_LE(apart, kMostPixelsApart);
            EXPECT_GT(shareDrawn(immediate), 0.2) << "the pose shows the scene";
            keepPicture(scene + std::to_string(p) + "-immediate", immediate);
            keepPicture(scene + std::to_string(p) + "-batched", batched);
        }
    }
};

TEST_F(BatchedPicture, DemoWorld) {
    ASSERT_TRUE(writeDemoScene(folder.string()));
    const std::filesystem::path data = folder.path() / "GameData";
    openWorld(data.string(), (data / "data" / "maps" / "valley.rsw").string());
    expectSamePictures(
        "demo",
        {{{0, 0, 1}, {0, 0, 0}}, {{0, 250, 600}, {0, 0, 0}}, {{-500, 30, -300}, {200, 0, 100}}});
}

// F1 loads the scene again into a new rendering context, whose texture names the arrays then
// take; F2 switches the fog off for both renderers alike.
TEST_F(BatchedPicture, DemoWorldAfterAReloadAndWithoutFog) {
    ASSERT_TRUE(writeDemoScene(folder.string()));
    const std::filesystem::path data = folder.path() / "GameData";
    openWorld(data.string(), (data / "data" / "maps" / "valley.rsw").string());
    AppState& app = appState();
    const auto press = [&](int key) {
        windowProc(app.window, win32::WM_KEYDOWN, key, 0);
        windowProc(app.window, win32::WM_KEYUP, key, 0);
        ASSERT_TRUE(handleControlKeys());
    };
    press(win32::VK_F1);
    ASSERT_TRUE(app.sceneRead);
    expectSamePictures("reloaded", {{{-200, 80, 300}, {0, 0, 0}}});
    press(win32::VK_F2);  // the first press leaves the fog on
    press(win32::VK_F2);
    ASSERT_EQ(glIsEnabled(GL_FOG), GL_FALSE);
    expectSamePictures("fogless", {{{0, 0, 1}, {0, 0, 0}}});
}

TEST_F(BatchedPicture, BenchmarkWorld) {
    const benchmark_world::Files files = benchmark_world::writeWorld(folder.path() / "map");
    openWorld(files.root, files.worldPath);
    expectSamePictures(
        "benchmark",
        {{{0, 0, 1}, {0, 0, 0}}, {{0, 600, 0}, {0, 0, -800}}, {{0, 0, 2600}, {0, 0, 0}}});
}

// Panes of two blended (TGA) textures and one alpha-tested (BMP) one, interleaved: each pane a
// little further back and aside, every pair of panes in one plane (their depths tie), and a child
// node of panes that turns. Placed six times, overlapping, one placement twice at one spot.
ModelFile paneModel() {
    ModelFile model;
    model.textureNames = {"glass_a.tga", "glass_b.tga", "solid.bmp"};
    for (const bool child : {false, true}) {
        ModelFileNode node;
        node.name = child ? "turning" : "panes";
        node.parentName = child ? "panes" : "";
        node.textureIndices = {0, 1, 2};
        node.transform.position = {0, child ? 6.0f : 0.0f, 0};
        node.texCoords = {{0, 0, 0}, {0, 1, 0}, {0, 1, 1}, {0, 0, 1}};
        for (int pane = 0; pane < 12; ++pane) {
            const float x = (pane % 2 == 0 ? -4.0f : 3.0f) + static_cast<float>(pane);
            const float y = static_cast<float>(pane % 3) * 2;
            const float z = static_cast<float>(pane / 2) * 1.5f;
            const auto first = static_cast<std::int16_t>(node.vertices.size());
            node.vertices.insert(node.vertices.end(),
                                 {{x, y, z}, {x + 10, y, z}, {x + 10, y + 10, z}, {x, y + 10, z}});
            const auto texture = static_cast<std::uint16_t>(pane % 3);
            const auto v = [&](int k) { return static_cast<std::int16_t>(first + k); };
            node.faces.push_back(modelFace({v(0), v(1), v(2)}, {0, 1, 2}, texture));
            node.faces.push_back(modelFace({v(0), v(2), v(3)}, {0, 2, 3}, texture));
        }
        if (child) {
            node.keyFrames = {{0, {0, 0, 0, 1}}, {1000, {0, 0.7071068f, 0, 0.7071068f}}};
        }
        model.nodes.push_back(node);
    }
    return model;
}

// Rings of colour with alpha falling off from the middle.
RgbaPicture glassPicture(std::uint8_t red, std::uint8_t blue) {
    RgbaPicture picture{32, 32, {}};
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const int ring = std::abs(x - 16) + std::abs(y - 16);
            picture.rgba.insert(picture.rgba.end(), {red, static_cast<std::uint8_t>(ring * 7), blue,
                                                     static_cast<std::uint8_t>(255 - ring * 6)});
        }
    }
    return picture;
}

TEST_F(BatchedPicture, OverlappingBlendedFaces) {
    const std::filesystem::path root = folder.path() / "panes";
    const std::filesystem::path texture = root / "data" / "texture";
    ASSERT_TRUE(writeFile((texture / "glass_a.tga").string(), tgaFile(glassPicture(230, 40))));
    ASSERT_TRUE(writeFile((texture / "glass_b.tga").string(), tgaFile(glassPicture(30, 220))));
    RgbaPicture solid = glassPicture(60, 60);
    for (std::size_t i = 3; i < solid.rgba.size(); i += 4) {
        solid.rgba[i] = 255;
    }
    ASSERT_TRUE(writeFile((texture / "solid.bmp").string(), bmpFile(bmpPictureOf(solid))));
    ASSERT_TRUE(
        writeGroundFile((root / "data" / "flat.gnd").string(), flatGround(16, 16, "solid.bmp")));
    ASSERT_TRUE(writeModelFile((root / "data" / "model" / "panes.omd").string(), paneModel()));
    WorldFileDescription world;
    world.groundName = "flat.gnd";
    world.placements = {{"panes.omd", {0, 0, 40}, {0, 0, 0}, {2, 2, 2}},
                        {"panes.omd", {8, 0, 44}, {0, 30, 0}, {2, 2, 2}},
                        {"panes.omd", {-10, 0, 36}, {0, -40, 0}, {2, 2, 2}},
                        {"panes.omd", {0, 0, 40}, {0, 0, 0}, {2, 2, 2}},
                        {"panes.omd", {4, 5, 50}, {20, 90, 0}, {1.5f, 1.5f, 1.5f}},
                        {"panes.omd", {-6, 0, 30}, {0, 180, 0}, {1, 1, 1}}};
    const std::string worldPath = (root / "panes.rsw").string();
    ASSERT_TRUE(writeWorldFile(worldPath, world));
    openWorld(root.string(), worldPath);
    expectSamePictures("panes", {{{0, -30, 30}, {0, -40, -40}},
                                 {{50, -10, 0}, {0, -40, -40}},
                                 {{0, -20, -110}, {0, -40, -40}}});
}

// The batched ground sends the immediate one's polygons in their order, each split as drawGround's
// quads are split: neighbouring cells' quads overlap where their edges do not meet, and on a tie of
// their depths the later one wins.
TEST_F(BatchedPicture, TheGroundSendsTheImmediatePolygonsInTheirOrder) {
    ASSERT_TRUE(writeDemoScene(folder.string()));
    const std::filesystem::path data = folder.path() / "GameData";
    openWorld(data.string(), (data / "data" / "maps" / "valley.rsw").string());
    const Ground& ground = appState().world.ground;
    GroundBatches batches;
    batches.build(ground);
    for (const Pose& pose : {Pose{{0, 0, 1}, {0, 0, 0}}, Pose{{300, 200, -400}, {0, 0, 0}}}) {
        const auto sent = [&](const std::function<void()>& draw) {
            return recordFeedback([&] {
                glLoadIdentity();
                gluLookAt(pose.eye.x, pose.eye.y, pose.eye.z, pose.lookAt.x, pose.lookAt.y,
                          pose.lookAt.z, 0, 1, 0);
                glTranslatef(0, -50, 0);
                glScalef(1, 1, -1);
                draw();
            });
        };
        const std::vector<FeedbackPolygon> immediate = sent([&] { ground.drawGround(); });
        const std::vector<FeedbackPolygon> batched = sent([&] { batches.draw(ground); });
        ASSERT_GT(immediate.size(), 1000u);
        ASSERT_EQ(batched.size(), immediate.size());
        for (std::size_t i = 0; i < immediate.size(); ++i) {
            ASSERT_EQ(batched[i].size(), immediate[i].size()) << "polygon " << i;
            for (std::size_t k = 0; k < immediate[i].size(); ++k) {
                const FeedbackVertex& a = immediate[i][k];
                const FeedbackVertex& b = batched[i][k];
                ASSERT_TRUE(a.x == b.x && a.y == b.y && a.z == b.z && a.s == b.s && a.t == b.t)
                    << "polygon " << i << " vertex " << k;
            }
        }
    }
}

}  // namespace
