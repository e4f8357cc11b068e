// Memory that runs out inside a reader, through the failing operator new of this test program.
// Each reader's entry runs once for every allocation it makes, that allocation failing, and must
// end through its normal failure path with one line "Out of memory - <path>", the path of the
// file being read at the time (for a texture, its name).

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/argument_file.h"
#include "failing_allocation.h"
#include "formats/byte_writer.h"
#include "formats/ground_writer.h"
#include "formats/image_writer.h"
#include "formats/model_writer.h"
#include "formats/world_writer.h"
#include "gl_test.h"
#include "ground/ground.h"
#include "io/host_files.h"
#include "model/model.h"
#include "model/model_file.h"
#include "scratch_folder.h"
#include "world/world.h"

namespace {

// What one run gave: the entry's result and what it wrote to standard error.
using CheckRun = std::function<void(bool result, const std::string& errors)>;

// Runs `read` with its first, second, third ... allocation failing, until a run makes no more
// allocations than the one before failed; gives the number of runs that failed one.
int failEachAllocationInTurn(const std::function<bool()>& read, const CheckRun& check) {
    for (long n = 1;; ++n) {
        testing::internal::CaptureStderr();
        armAllocationFailure(n);
        bool result = false;
        bool failed = false;
        try {
            result = read();
            failed = disarmAllocationFailure();
        } catch (const std::exception& escaped) {
            failed = disarmAllocationFailure();
            ADD_FAILURE() << escaped.what() << " escaped at allocation " << n;
        }
        const std::string errors = testing::internal::GetCapturedStderr();
        if (!failed) {
            EXPECT_TRUE(result) << "without a failing allocation";
            return static_cast<int>(n - 1);
        }
        SCOPED_TRACE("allocation " + std::to_string(n));
        check(result, errors);
    }
}

std::string outOfMemory(const std::string& path) {
    return "Out of memory - " + path + "\n";
}

class ExhaustedMemory : public HeadlessGlTest {
  protected:
    void SetUp() override {
        HeadlessGlTest::SetUp();
        headless.currentDirectory = root;
    }

    void TearDown() override {
        appState() = AppState{};
        HeadlessGlTest::TearDown();
    }

    // A one-node model and a 2 x 2 ground, each with one texture; gives the path that a world
    // composes for it.
    std::string writeModel(const std::string& name, const std::string& textureName) const {
        ModelFile model;
        ModelFileNode node;
        node.name = "root";
        node.textureIndices = {0};
        node.vertices = {{0, 0, 0}, {10, 0, 0}, {0, 10, 0}};
        node.texCoords = {{0, 0, 0}, {0, 1, 0}, {0, 0, 1}};
        node.faces = {modelFace({0, 1, 2}, {0, 1, 2})};
        model.textureNames = {textureName};
        model.nodes = {node};
        EXPECT_TRUE(writeModelFile((scratch.path() / "data" / "model" / name).string(), model));
        return root + "\\data\\model\\" + name;
    }

    std::string writeGround(const std::string& name, const std::string& textureName) const {
        EXPECT_TRUE(writeGroundFile((scratch.path() / "data" / name).string(),
                                    flatGround(2, 2, textureName)));
        return root + "\\data\\" + name;
    }

    // A 2 x 2 texture in the file's own format; gives its name.
    std::string writeTexture(const std::string& name) const {
        const RgbaPicture picture{2, 2, std::vector<std::uint8_t>(16, 99)};
        EXPECT_TRUE(
            writeFile((scratch.path() / "data" / "texture" / name).string(),
                      name.ends_with(".tga") ? tgaFile(picture) : bmpFile(bmpPictureOf(picture))));
        return name;
    }

    ScratchFolder scratch;
    const std::string root = scratch.string();
    const std::string logPath = (scratch.path() / kModelLogName).string();
};

// Memory may run out in the world's own reading, its ground, its model or their textures (a TGA
// and a BMP): each of these readers fails alone, and each reports it.
TEST_F(ExhaustedMemory, AWorldStaysEmptyOrLoadsWithoutWhatFailed) {
    const std::string groundTexture = writeTexture("g.tga");
    const std::string modelTexture = writeTexture("m.bmp");
    const std::string ground = writeGround("g.gnd", "g.tga");
    const std::string model = writeModel("m", "m.bmp");
    WorldFileDescription description;
    description.groundName = "g.gnd";
    description.placements = {{"m"}};
    const std::string path = (scratch.path() / "w.rsw").string();
    ASSERT_TRUE(writeWorldFile(path, description));
    World world;
    TextureCapabilities textures = TextureCapabilities::ofCurrentContext();
    std::set<std::string> reported;
    failEachAllocationInTurn(
        [&] {
            SceneLoad scene(textures);
            return world.readWorld(root.c_str(), path.c_str(), scene, {}, logPath) &&
                   world.loaded.size() == 1 && world.loaded[0] == 1 && world.ground.width == 2;
        },
        [&](bool, const std::string& errors) {
            reported.insert(errors);
            if (errors == outOfMemory(path)) {
                EXPECT_TRUE(world.instances.empty());
                EXPECT_TRUE(world.loaded.empty());
                EXPECT_EQ(world.ground.width, 0);
                return;
            }
            ASSERT_EQ(world.loaded.size(), 1u);
            EXPECT_EQ(world.ground.width, errors == outOfMemory(ground) ? 0 : 2);
            EXPECT_EQ(world.loaded[0], errors == outOfMemory(model) ? 0 : 1);
        });
    EXPECT_EQ(reported,
              (std::set<std::string>{outOfMemory(path), outOfMemory(ground), outOfMemory(model),
                                     outOfMemory(groundTexture), outOfMemory(modelTexture)}));
}

TEST_F(ExhaustedMemory, TheArgumentFileCannotBeRead) {
    scratch.writeText("orvalis.arg", "data\nfirst.rsw\nsecond.gnd\n");
    const int runs = failEachAllocationInTurn(
        [&] {
            headless.messageBoxes.clear();
            return readArgumentFile() && appState().names.size() == 2;
        },
        [&](bool read, const std::string& errors) {
            EXPECT_FALSE(read);
            EXPECT_EQ(errors, outOfMemory("orvalis.arg"));
            ASSERT_EQ(headless.messageBoxes.size(), 1u);
            EXPECT_EQ(headless.messageBoxes[0].text, "Can't read orvalis.arg");
        });
    EXPECT_GT(runs, 0);
}

// A parser says that memory ran out as the kind of its failure, and says nothing itself.
TEST_F(ExhaustedMemory, ParsersGiveOutOfMemoryAndThrowNothing) {
    writeModel("m", "m.bmp");
    writeGround("g.gnd", "g.tga");
    const FileBytes model = *readHostFile((scratch.path() / "data" / "model" / "m").string());
    const FileBytes ground = *readHostFile((scratch.path() / "data" / "g.gnd").string());
    WorldFileDescription description;
    description.groundName = "g.gnd";
    description.placements = {{"m"}};
    const FileBytes world = worldFileBytes(description);
    const std::string arguments = "data\nm\n";
    const std::vector<std::function<Failure()>> parsers{
        [&] { return parseModelFile(model).kind(); },
        [&] { return parseGroundFile(ground).kind(); },
        [&] { return parseWorldFile(world).kind(); },
        [&] { return parseArgumentFile(arguments).kind(); },
    };
    for (const auto& parse : parsers) {
        Failure kind = Failure::none;
        const int runs = failEachAllocationInTurn(
            [&] {
                kind = parse();
                return kind == Failure::none;
            },
            [&](bool parsed, const std::string& errors) {
                EXPECT_FALSE(parsed);
                EXPECT_EQ(kind, Failure::outOfMemory);
                EXPECT_EQ(errors, "");
            });
        EXPECT_GT(runs, 0);
    }
}

}  // namespace
