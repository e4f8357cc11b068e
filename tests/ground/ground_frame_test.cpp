#include <gtest/gtest.h>

#include "gl_test.h"
#include "ground/ground.h"
#include "ground_scratch.h"
#include "viewer_pose.h"

namespace {

using GroundFrame = HeadlessGlTest;

TEST_F(GroundFrame, ShowsTheTextureFadingIntoWhiteFogWithDistance) {
    const ScratchFolder scratch;
    const auto root = scratch.path();
    ASSERT_TRUE(writeSolidTexture(root, "blue.tga", {0, 0, 255, 255}));
    Ground ground;
    ASSERT_TRUE(writeAndRead(ground, flatGround(200, 200, "blue.tga"), root, "flat.gnd"));

    useSceneState();
    applyViewerPose({{0, 0, 1}, {0, 0, 0}});
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    ground.drawGround();
    glFinish();
    // Fog factor e^-(0.002 d)^2 at eye distance d: the bottom row sees the ground about 140 units
    // ahead (0.92 of the texture), row 174 about 500 ahead (0.37), and above the horizon only sky.
    const auto near = pixelAt(320, 10);
    EXPECT_LT(near[0], 60);
    EXPECT_GT(near[2], 240);
    const auto middle = pixelAt(320, 174);
    EXPECT_GT(middle[0], 120);
    EXPECT_LT(middle[0], 200);
    EXPECT_GT(middle[2], 240);
    const auto sky = pixelAt(320, 400);
    EXPECT_EQ(sky[0], 255);
    EXPECT_EQ(sky[1], 255);
    EXPECT_EQ(sky[2], 255);
}

}  // namespace
