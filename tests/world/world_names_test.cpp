#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "world_test_files.h"

namespace {

// Names that leave the data root are files that cannot be found, even where a file lies at the
// place they name: "..\data\g.gnd" and "..\model\m1" lead back to real files below the data root.
TEST_F(WorldTest, NamesThatLeaveTheDataRootAreNotLoaded) {
    writeGround("g.gnd");
    writeModel("m1", chainModel(1));
    WorldFileDescription description;
    description.groundName = "..\\data\\g.gnd";
    description.placements = {{"..\\model\\m1"}, {"m1"}};
    const std::string path = writeWorld("w.rsw", description);
    World world;
    EXPECT_EQ(read(world, path), "Cannot find ..\\data\\g.gnd below the data root - " + path +
                                     "\nCannot find ..\\model\\m1 below the data root - " + path +
                                     "\n");
    EXPECT_EQ(world.ground.width, 0);
    EXPECT_EQ(world.loaded, (std::vector<std::uint8_t>{0, 1}));
    EXPECT_EQ(modelLog(), "0 1 ..\\model\\m1\n1 2 m1\n");
}

// A FIFO in place of a model is not waited on: the world loads the rest, with one line for it.
TEST_F(WorldTest, AFifoInPlaceOfAModelIsRefusedWithOneLine) {
    writeGround("g.gnd");
    writeModel("m1", chainModel(1));
    ASSERT_EQ(::mkfifo((root / "data" / "model" / "pipe").c_str(), 0600), 0);
    WorldFileDescription description;
    description.groundName = "g.gnd";
    description.placements = {{"pipe"}, {"m1"}};
    const std::string path = writeWorld("w.rsw", description);
    World world;
    const std::string lines = read(world, path);
    EXPECT_NE(lines.find("Not a regular file - "), std::string::npos) << lines;
    EXPECT_EQ(world.loaded, (std::vector<std::uint8_t>{0, 1}));
    EXPECT_EQ(modelLog(), "0 1 pipe\n1 2 m1\n");
}

}  // namespace
