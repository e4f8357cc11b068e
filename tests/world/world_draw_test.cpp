#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

#include "viewer_pose.h"
#include "world_test_files.h"

namespace {

using Polygons = std::vector<FeedbackPolygon>;

// A camera above the ground looking at its centre.
void useViewerTransforms() {
    applyViewerPose({{0, 120, 150}, {0, 0, 0}});
}

std::array<GLfloat, 17> matrixAndDepth() {
    std::array<GLfloat, 17> state{};
    glGetFloatv(GL_MODELVIEW_MATRIX, state.data());
    glGetFloatv(GL_MODELVIEW_STACK_DEPTH, &state[16]);
    return state;
}

std::vector<float> flattened(const Polygons& polygons) {
    std::vector<float> values;
    for (const FeedbackPolygon& polygon : polygons) {
        values.push_back(static_cast<float>(polygon.size()));
        for (const FeedbackVertex& v : polygon) {
            values.insert(values.end(), {v.x, v.y, v.z, v.w, v.s, v.t});
        }
    }
    return values;
}

}  // namespace

// The ground first, then each placement whose model loaded, in file order, with the nine floats
// as the file holds them; the matrix and the stack depth are left as found.
TEST_F(WorldTest, DrawsTheGroundThenEveryLoadedPlacementWithItsFloats) {
    writeGround("g.gnd");
    writeModel("a", chainModel(1));
    writeModel("b", chainModel(2));
    WorldFileDescription file;
    file.groundName = "g.gnd";
    file.placements = {{"a", {-20.5f, 3.25f, 10.125f}, {10, 20.5f, -30}, {1.5f, 0.75f, 2}},
                       {"gone", {0, 0, 0}, {0, 0, 0}, {1, 1, 1}},
                       {"b", {15.75f, -2, -12}, {-45.5f, 5, 0.25f}, {0.5f, 1.25f, 1}},
                       {"a", {5, 1, 20}, {0, 180, 7.5f}, {1, 1, 1}},
                       {"gone", {1, 2, 3}, {4, 5, 6}, {7, 8, 9}}};
    World world;
    read(world, writeWorld("w.rsw", file));
    ASSERT_EQ(world.loaded, (std::vector<std::uint8_t>{1, 0, 1}));
    useViewerTransforms();

    Polygons expected = recordFeedback([&] { world.ground.drawGround(); });
    ASSERT_FALSE(expected.empty()) << "the ground is in view";
    for (const std::size_t i : {0, 2, 3}) {
        const WorldPlacement& at = file.placements[i];
        const Polygons drawn = recordFeedback([&] {
            world.models[world.instances[i].modelIndex].draw(
                at.position.x, at.position.y, at.position.z, at.angles.x, at.angles.y, at.angles.z,
                at.scale.x, at.scale.y, at.scale.z);
        });
        ASSERT_FALSE(drawn.empty()) << "placement " << i << " is in view";
        expected.insert(expected.end(), drawn.begin(), drawn.end());
    }

    const auto before = matrixAndDepth();
    const Polygons actual = recordFeedback([&] { world.drawWorld(); });
    EXPECT_EQ(flattened(actual), flattened(expected));
    EXPECT_EQ(matrixAndDepth(), before);
}

// A model file of 1 TiB is refused without reading it; the model beside it loads and draws.
TEST_F(WorldTest, AModelFileTooLargeToReadIsLoggedAndTheRestDraws) {
    writeGround("g.gnd");
    writeModel("small", chainModel(2));
    writeModel("huge", chainModel(2));
    if (!scratch.extend("data/model/huge", std::uint64_t{1} << 40)) {
        GTEST_SKIP() << "the file system cannot make a sparse file of 1 TiB";
    }
    WorldFileDescription file;
    file.groundName = "g.gnd";
    file.placements = {{"huge", {0, 0, 0}, {0, 0, 0}, {1, 1, 1}},
                       {"small", {5, 1, 20}, {0, 30, 0}, {1, 1, 1}}};
    World world;
    EXPECT_EQ(read(world, writeWorld("w.rsw", file)),
              "The file is larger than 256 MiB - " + root.string() + "\\data\\model\\huge\n");
    EXPECT_EQ(world.loaded, (std::vector<std::uint8_t>{0, 1}));
    EXPECT_EQ(modelLog(), "0 1 huge\n1 2 small\n");

    useViewerTransforms();
    Polygons expected = recordFeedback([&] { world.ground.drawGround(); });
    const Polygons small =
        recordFeedback([&] { world.models[1].draw(5, 1, 20, 0, 30, 0, 1, 1, 1); });
    ASSERT_FALSE(small.empty()) << "the small model is in view";
    expected.insert(expected.end(), small.begin(), small.end());
    EXPECT_EQ(flattened(recordFeedback([&] { world.drawWorld(); })), flattened(expected));
}

// All placements of a model share its animation clocks: each placement moves them on one step.
TEST_F(WorldTest, EachPlacementAdvancesItsModelsAnimationOnce) {
    writeGround("g.gnd");
    writeModel("spin", chainModel(2, 1));
    writeModel("still", chainModel(1));
    WorldFileDescription file;
    file.groundName = "g.gnd";
    for (const char* name : {"spin", "still", "spin", "gone", "spin"}) {
        file.placements.push_back({name});
    }
    World world;
    read(world, writeWorld("w.rsw", file));
    ASSERT_EQ(world.loaded, (std::vector<std::uint8_t>{1, 1, 0}));
    const ModelNode& spinning = world.models[0].nodes[0];
    ASSERT_EQ(spinning.keyFrames.size(), 2u);

    useViewerTransforms();
    world.drawWorld();
    EXPECT_EQ(spinning.animTime, 300);
    world.drawWorld();
    EXPECT_EQ(spinning.animTime, 600);
}
