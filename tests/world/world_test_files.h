#pragma once
// Worlds for the world tests: files written into a scratch folder that is also the current
// directory while the test runs, so that the model log lands there.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "formats/byte_writer.h"
#include "formats/ground_writer.h"
#include "formats/image_writer.h"
#include "formats/model_writer.h"
#include "formats/world_writer.h"
#include "gl_test.h"
#include "scratch_folder.h"
#include "world/world.h"
#include "world/world_file.h"

// A chain of `nodeCount` one-triangle nodes, the first `animatedNodes` with two key frames.
inline ModelFile chainModel(int nodeCount, int animatedNodes = 0) {
    ModelFile model;
    for (int i = 0; i < nodeCount; ++i) {
        ModelFileNode node;
        node.name = "n" + std::to_string(i);
        node.parentName = i == 0 ? "" : "n" + std::to_string(i - 1);
        node.transform.position = {2, 1, 0};
        node.vertices = {{0, 0, 0}, {6, 0, 1}, {0, 5, 2}};
        node.texCoords = {{0, 0, 0}, {0, 1, 0}, {0, 0, 1}};
        node.faces = {modelFace({0, 1, 2}, {0, 1, 2})};
        if (i < animatedNodes) {
            node.keyFrames = {{0, {0, 0, 0, 1}}, {10000, {0, 0.7071068f, 0, 0.7071068f}}};
        }
        model.nodes.push_back(node);
    }
    return model;
}

class WorldTest : public HeadlessGlTest {
  protected:
    void SetUp() override {
        HeadlessGlTest::SetUp();
        headless.titles.clear();
        textures = TextureCapabilities::ofCurrentContext();
    }

    void writeModel(const std::string& name, const ModelFile& model) const {
        ASSERT_TRUE(writeModelFile((root / "data" / "model" / name).string(), model));
    }

    // A flat 4 x 4 ground with one texture.
    void writeGround(const std::string& name) const {
        ASSERT_TRUE(writeGroundFile((root / "data" / name).string(), flatGround(4, 4, "t.tga")));
        const RgbaPicture grey{1, 1, {128, 128, 128, 255}};
        ASSERT_TRUE(writeFile((root / "data" / "texture" / "t.tga").string(), tgaFile(grey)));
    }

    std::string writeWorld(const std::string& name, const WorldFileDescription& world) const {
        const std::string path = (root / name).string();
        EXPECT_TRUE(writeWorldFile(path, world));
        return path;
    }

    // Reads with the scratch folder as data root and the model log's place, the progress shown in
    // the window's title; gives
    // what went to standard error.
    std::string read(World& world, const std::string& path, bool expected = true) {
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(static_cast<bool>(readWorld(world, root, path)), expected);
        return ::testing::internal::GetCapturedStderr();
    }

    ReadResult readWorld(World& world, const std::filesystem::path& dataRoot,
                         const std::string& path) {
        SceneLoad scene(textures, budgets);
        return world.readWorld(
            dataRoot.c_str(), path.c_str(), scene,
            [this](const std::string& title) { setWindowTitle(window, "%s", title.c_str()); },
            (root / kModelLogName).string());
    }

    std::string modelLog() const {
        std::ifstream log(root / "sortie.txt");
        std::ostringstream text;
        text << log.rdbuf();
        return text.str();
    }

    ScratchFolder scratch;
    const std::filesystem::path& root = scratch.path();
    TextureCapabilities textures;
    LoadBudgets budgets;  // of each read
};
