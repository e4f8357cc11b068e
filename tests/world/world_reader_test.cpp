#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "io/byte_cursor.h"
#include "io/input_limits.h"
#include "world_test_files.h"

namespace {

using Titles = std::vector<std::string>;
using Flags = std::vector<std::uint8_t>;
using Indices = std::vector<std::int32_t>;

WorldFileDescription worldOf(const std::vector<std::string>& modelNames,
                             std::string groundName = "g.gnd") {
    WorldFileDescription world;
    world.groundName = std::move(groundName);
    for (const std::string& name : modelNames) {
        world.placements.push_back({name});
    }
    return world;
}

Indices modelIndices(const World& world) {
    Indices indices;
    for (const ModelInstance& instance : world.instances) {
        indices.push_back(instance.modelIndex);
    }
    return indices;
}

void expectNoModels(const World& world) {
    EXPECT_TRUE(world.instances.empty());
    EXPECT_TRUE(world.models.empty());
    EXPECT_TRUE(world.loaded.empty());
}

}  // namespace

TEST_F(WorldTest, LoadsEachDistinctModelOnceWithTitlesAndLog) {
    writeGround("g.gnd");
    writeModel("m1", chainModel(1));
    writeModel("M1", chainModel(2));
    writeModel("m2", chainModel(2));
    writeModel("m3", chainModel(3));
    World world;
    EXPECT_EQ(read(world, writeWorld("w.rsw", worldOf({"m1", "m2", "m1", "m3"}))), "");
    EXPECT_EQ(headless.titles,
              (Titles{"Orvalis : Loading Ground", "Orvalis : Loading Models (1\\3) : m1",
                      "Orvalis : Loading Models (2\\3) : m2",
                      "Orvalis : Loading Models (3\\3) : m3", "Orvalis : Displaying"}));
    EXPECT_EQ(modelLog(), "1 1 m1\n1 2 m2\n1 3 m3\n");
    EXPECT_EQ(world.instances.size(), 4u);
    EXPECT_EQ(modelIndices(world), (Indices{0, 1, 0, 2}));
    EXPECT_EQ(world.models.size(), 3u);
    EXPECT_EQ(world.loaded, (Flags{1, 1, 1}));
    EXPECT_EQ(world.models[2].nodes.size(), 3u);
    EXPECT_EQ(world.ground.width, 4);

    // Read again: names that differ in case load their own files; a missing one is only logged.
    EXPECT_EQ(read(world, writeWorld("w.rsw", worldOf({"m1", "M1", "gone", "m1"}))), "");
    EXPECT_EQ(modelLog(), "1 1 m1\n1 2 M1\n0 3 gone\n");
    EXPECT_EQ(modelIndices(world), (Indices{0, 1, 2, 0}));
    EXPECT_EQ(world.loaded, (Flags{1, 1, 0}));
    ASSERT_EQ(world.models.size(), 3u);
    EXPECT_EQ(world.models[1].nodes.size(), 2u);
    EXPECT_EQ(world.models[2].nodes.size(), 0u);

    headless.titles.clear();
    read(world, writeWorld("w.rsw", worldOf({})));
    EXPECT_EQ(headless.titles, (Titles{"Orvalis : Loading Ground", "Orvalis : Displaying"}));
    EXPECT_EQ(modelLog(), "");
    expectNoModels(world);
}

// The model log is created anew all the same: the one of the world read before is gone.
TEST_F(WorldTest, AWorldFileThatCannotBeReadLeavesTheWorldEmpty) {
    writeGround("g.gnd");
    writeModel("m1", chainModel(1));
    const std::string good = writeWorld("w.rsw", worldOf({"m1"}));
    const auto bytes = worldFileBytes(worldOf({"m1"}));
    const std::string cut = (root / "short.rsw").string();
    ASSERT_TRUE(writeFile(cut, std::vector(bytes.begin(), bytes.begin() + kWorldHeaderSize - 1)));
    const std::string missing = (root / "missing.rsw").string();
    // A whole world followed by zeros, one byte more than any world file may have.
    const std::string huge = writeWorld("huge.rsw", worldOf({"m1"}));
    if (!scratch.extend("huge.rsw", kMaxDataFileBytes + 1)) {
        GTEST_SKIP() << "the file system cannot make a sparse file over 256 MiB";
    }
    World world;
    for (const auto& [path, error, status] :
         {std::tuple{missing, "Cannot open the world file - ", Failure::cannotOpen},
          std::tuple{cut, "The world file is shorter than its header - ", Failure::tooShort},
          std::tuple{huge, "The file is larger than 256 MiB - ", Failure::tooLarge}}) {
        read(world, good);
        ASSERT_EQ(modelLog(), "1 1 m1\n");
        EXPECT_EQ(read(world, path, false), error + path + "\n");
        testing::internal::CaptureStderr();
        EXPECT_EQ(readWorld(world, root, path).kind(), status);
        testing::internal::GetCapturedStderr();
        expectNoModels(world);
        EXPECT_EQ(world.ground.width, 0);
        EXPECT_TRUE(std::filesystem::exists(root / "sortie.txt"));
        EXPECT_EQ(modelLog(), "");
    }
}

// A file that ends inside its third record, and a log that cannot be created: the world loads
// the two whole records all the same.
TEST_F(WorldTest, ACutFileAndAMissingLogStillLoad) {
    writeGround("g.gnd");
    writeModel("m1", chainModel(1));
    auto bytes = worldFileBytes(worldOf({"m1", "m2", "m3"}));
    bytes.resize(bytes.size() - kNameFieldSize - kWorldRecordSize / 2);
    const std::string path = (root / "cut.rsw").string();
    ASSERT_TRUE(writeFile(path, bytes));
    std::filesystem::create_directory(root / "sortie.txt");
    World world;
    EXPECT_EQ(read(world, path), "Cannot create the model log - " + (root / "sortie.txt").string() +
                                     "\nThe world file ends before its end record - " + path +
                                     "\n");
    EXPECT_EQ(world.instances.size(), 2u);
    EXPECT_EQ(world.loaded, (Flags{1, 0}));
    EXPECT_EQ(headless.titles.back(), "Orvalis : Displaying");
}

// The caller may send the model log elsewhere, or nowhere: the current directory then gets none.
TEST_F(WorldTest, TheModelLogGoesWhereTheCallerSays) {
    writeGround("g.gnd");
    writeModel("m1", chainModel(1));
    const std::string path = writeWorld("w.rsw", worldOf({"m1", "m2"}));
    const std::filesystem::path elsewhere = root / "state" / "models.txt";
    std::filesystem::create_directory(elsewhere.parent_path());
    World world;
    for (const std::string& logPath : {elsewhere.string(), std::string()}) {
        ::testing::internal::CaptureStderr();
        SceneLoad scene(textures);
        EXPECT_TRUE(world.readWorld(root.c_str(), path.c_str(), scene, {}, logPath));
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
        EXPECT_EQ(world.loaded, (Flags{1, 0}));
        EXPECT_FALSE(std::filesystem::exists(kModelLogName));
        EXPECT_FALSE(std::filesystem::exists(root / kModelLogName));
    }
    std::ifstream log(elsewhere);
    std::ostringstream text;
    text << log.rdbuf();
    EXPECT_EQ(text.str(), "1 1 m1\n0 2 m2\n");
}

// A data root of 500 characters: "<root>\data\g.gnd" has 511, the longest path allowed,
// "<root>\data\gg.gnd" 512 and "<root>\data\model\m1" 514.
TEST_F(WorldTest, PathsTooLongAreNotLoaded) {
    std::filesystem::path longRoot = root;
    while (longRoot.string().size() < 500) {
        longRoot /= std::string(std::min<std::size_t>(499 - longRoot.string().size(), 200), 'd');
    }
    ASSERT_EQ(longRoot.string().size(), 500u);
    for (const char* name : {"g.gnd", "gg.gnd"}) {
        ASSERT_TRUE(
            writeGroundFile((longRoot / "data" / name).string(), flatGround(2, 2, "t.tga")));
    }
    ASSERT_TRUE(writeModelFile((longRoot / "data" / "model" / "m1").string(), chainModel(1)));
    const std::string path = writeWorld("w.rsw", worldOf({"m1"}));
    const std::string longer = writeWorld("w2.rsw", worldOf({}, "gg.gnd"));
    World world;

    ::testing::internal::CaptureStderr();
    EXPECT_TRUE(readWorld(world, longRoot, path));
    EXPECT_EQ(world.ground.width, 2);
    EXPECT_EQ(world.loaded, (Flags{0}));
    EXPECT_EQ(modelLog(), "0 1 m1\n");
    EXPECT_TRUE(readWorld(world, longRoot, longer));
    EXPECT_EQ(world.ground.width, 0);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "The path of m1 is longer than 511 characters - " + path +
                  "\nThe path of gg.gnd is longer than 511 characters - " + longer + "\n");
}

// Names that reach one file, by another letter case or path, read it once: the later names log
// how that load went and their placements draw the first name's model. The log escapes names, so
// that a name holding a line break still takes one line.
TEST_F(WorldTest, EveryNameOfOneModelFileSharesItsOneLoad) {
    writeGround("g.gnd");
    writeModel("m.omd", chainModel(2));
    writeModel("other.omd", chainModel(3));
    const std::string forged = "x\n1 9 forged";
    World world;
    EXPECT_EQ(read(world, writeWorld("w.rsw", worldOf({"m.omd", ".\\M.OMD", "other.omd",
                                                       ".\\.\\m.omd", "gone", ".\\gone", forged}))),
              "");
    EXPECT_EQ(modelLog(),
              "1 1 m.omd\n1 2 .\\M.OMD\n1 3 other.omd\n1 4 .\\.\\m.omd\n"
              "0 5 gone\n0 6 .\\gone\n0 7 x\\x0a1 9 forged\n");
    EXPECT_EQ(world.loaded, (Flags{1, 1, 1, 1, 0, 0, 0}));
    EXPECT_EQ(modelIndices(world), (Indices{0, 0, 2, 0, 4, 4, 6}));
    ASSERT_EQ(world.models.size(), 7u);
    EXPECT_EQ(world.models[0].nodes.size(), 2u);
    EXPECT_EQ(world.models[1].nodes.size(), 0u);
    EXPECT_EQ(world.models[3].nodes.size(), 0u);
    EXPECT_EQ(world.models[2].nodes.size(), 3u);
}

// The scene's model and ground files share one budget of bytes: a file that would pass what is
// left of it is left out with one line, and the models before and after it that fit still load.
TEST_F(WorldTest, ModelFilesPastTheBudgetOfBytesAreLeftOut) {
    writeGround("g.gnd");
    writeModel("small.omd", chainModel(1));
    writeModel("large.omd", chainModel(30));
    const auto size = [this](const char* name) {
        return std::filesystem::file_size(root / "data" / "model" / name);
    };
    budgets.dataFileBytes = std::filesystem::file_size(root / "data" / "g.gnd") +
                            size("small.omd") + size("large.omd") - 1;
    writeModel("twin.omd", chainModel(1));
    World world;
    EXPECT_EQ(read(world, writeWorld("w.rsw",
                                     worldOf({"small.omd", "large.omd", "twin.omd", "SMALL.OMD"}))),
              "The scene's model and ground files pass their budget - " + root.string() +
                  "\\data\\model\\large.omd\n");
    EXPECT_EQ(world.loaded, (Flags{1, 0, 1, 1}));
    EXPECT_EQ(modelLog(), "1 1 small.omd\n0 2 large.omd\n1 3 twin.omd\n1 4 SMALL.OMD\n");
    EXPECT_EQ(world.ground.width, 4);
}
