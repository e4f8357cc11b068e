#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "headless_test_platform.h"
#include "view/camera.h"
#include "view/frame_timer.h"

namespace {

void expectVector(Vector3 actual, Vector3 expected, float tolerance = 1e-4f) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

TEST(VectorMath, CrossProductAndTriangleNormalTakeTheSecondEdgeFirst) {
    expectVector(crossProduct({1, 0, 0}, {0, 1, 0}), {0, 0, 1});
    const Vector3 counterClockwise[3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    expectVector(triangleNormal(counterClockwise), {0, 0, -1});
    const Vector3 clockwise[3] = {{0, 0, 0}, {0, 1, 0}, {1, 0, 0}};
    expectVector(triangleNormal(clockwise), {0, 0, 1});
    const Vector3 onALine[3] = {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}};
    EXPECT_FALSE(std::isfinite(triangleNormal(onALine).x));
}

// Each axis on its own: the bounds of points mix the axes of different points.
TEST(VectorMath, PerAxisBoundsSumsAndScales) {
    expectVector(perAxisMin({1, -2, 3}, {-1, 2, 3}), {-1, -2, 3});
    expectVector(perAxisMax({1, -2, 3}, {-1, 2, 3}), {1, 2, 3});
    expectVector(midpoint({-1, -2, 3}, {1, 4, 5}), {0, 1, 4});
    expectVector(vectorSum(scaleVector({1, 2, 3}, -2), {2, 5, 6}), {0, 1, 0});
}

class CameraTest : public ::testing::Test {
  protected:
    void SetUp() override {
        usePlatform(headless);
        camera.setCamera(0, 0, 1, 0, 0, 0, 0, 1, 0);
    }

    void hold(int virtualKey) {
        headless.keyStates[virtualKey] = static_cast<std::int16_t>(0xFF80);
    }

    // One frame whose movement uses `delta` seconds.
    void frameWith(float delta) { camera.updateCamera(delta); }

    HeadlessTestPlatform headless;
    Camera camera;
    FrameTimer timer;
};

TEST_F(CameraTest, ConstructionPoseIsReplacedBySetCamera) {
    const Camera fresh;
    expectVector(fresh.eye, {0, 0, 0});
    expectVector(fresh.lookAt, {0, 1, 0.5f});
    expectVector(fresh.up, {0, 0, 1});
    expectVector(camera.eye, {0, 0, 1});
    expectVector(camera.lookAt, {0, 0, 0});
}

TEST_F(CameraTest, CursorAtHomeChangesNothingAndIsNotMoved) {
    frameWith(0);
    expectVector(camera.lookAt, {0, 0, 0});
    EXPECT_TRUE(headless.cursorMoves.empty());
}

TEST_F(CameraTest, MouseTurnsTheViewAndWarpsTheCursorHome) {
    headless.cursor = {330, 240};
    frameWith(0);
    expectVector(camera.lookAt, {0.0200f, 0, 0.0002f});
    ASSERT_EQ(headless.cursorMoves.size(), 1u);
    EXPECT_EQ(headless.cursorMoves[0].x, 320);
    EXPECT_EQ(headless.cursorMoves[0].y, 240);

    camera.setCamera(0, 0, 1, 0, 0, 0, 0, 1, 0);
    headless.cursor = {320, 230};
    frameWith(0);
    EXPECT_NEAR(camera.pitchSum, -0.02f, 1e-6f);
    expectVector(camera.lookAt, {0, 0.0200f, 0.0002f});
}

TEST_F(CameraTest, PitchBeyondTheLimitTiltsByNothingButYawStillTurns) {
    camera.pitchSum = 0.99f;
    headless.cursor = {330, 265};  // pitch -0.05, yaw -0.02
    frameWith(0);
    EXPECT_FLOAT_EQ(camera.pitchSum, 1.0f);
    EXPECT_NEAR(camera.lookAt.y, 0, 1e-6f);
    EXPECT_NEAR(camera.lookAt.x, 0.02f, 1e-4f);

    // The start pose comes back, the sum stays.
    camera.setCamera(0, 0, 1, 0, 0, 0, 0, 1, 0);
    EXPECT_FLOAT_EQ(camera.pitchSum, 1.0f);

    // Each camera sums its own turns: another one still tilts from zero.
    Camera other;
    other.setCamera(0, 0, 1, 0, 0, 0, 0, 1, 0);
    headless.cursor = {320, 265};
    other.updateCamera(0);
    EXPECT_NEAR(other.pitchSum, 0.05f, 1e-6f);
    EXPECT_NEAR(other.lookAt.y, -0.05f, 1e-3f);
    EXPECT_FLOAT_EQ(camera.pitchSum, 1.0f);
}

TEST_F(CameraTest, KeysFlyFiftyUnitsPerSecond) {
    hold('W');
    frameWith(0.02f);
    expectVector(camera.eye, {0, 0, 0});
    expectVector(camera.lookAt, {0, 0, -1});
    // The interval comes with the call: the camera reads no clock.
    EXPECT_EQ(headless.callCount(Operation::timeGetTime), 0u);

    headless.keyStates = {};
    hold(win32::VK_RIGHT);
    hold('D');  // an arrow and its letter act once
    frameWith(0.02f);
    expectVector(camera.eye, {1, 0, 0});

    // Strafing keeps the height even with the view tilted.
    headless.keyStates = {};
    camera.setCamera(0, 0, 1, 0, -1, 0, 0, 1, 0);
    hold('A');
    frameWith(0.02f);
    EXPECT_FLOAT_EQ(camera.eye.y, 0);

    headless.keyStates = {};
    camera.setCamera(0, 0, 1, 0, 0, 0, 0, 1, 0);
    hold(win32::VK_UP);
    hold('S');
    frameWith(0.5f);
    expectVector(camera.eye, {0, 0, 1});
}

TEST_F(CameraTest, FrameTimerStaysExactAtAnyUptimeAndAcrossTheWrap) {
    // 10 ms frames after 10 days, after 40 days, and across the 32-bit counter's wrap.
    for (const std::uint32_t start : {864'000'000u, 3'456'000'000u, 0xFFFF'FFFFu - 14}) {
        SCOPED_TRACE(start);
        headless.clockReadings = {start, start + 10, start + 20, start + 30};
        stopFrameTimer(timer);
        resumeFrameTimer(timer);
        for (int frame = 0; frame < 3; ++frame) {
            tickFrameTimer(timer);
            EXPECT_FLOAT_EQ(timer.frameDelta, 0.01f);
        }
    }
    headless.clockReadings = {5000, 5000, 4990, 5020};
    tickFrameTimer(timer);
    tickFrameTimer(timer);  // the same millisecond again
    EXPECT_FLOAT_EQ(timer.frameDelta, 0);
    tickFrameTimer(timer);  // the clock stepped back
    EXPECT_FLOAT_EQ(timer.frameDelta, 0);
    tickFrameTimer(timer);
    EXPECT_FLOAT_EQ(timer.frameDelta, 0.03f);
}

TEST_F(CameraTest, FrameTimerLeavesOutTimeWithoutFrames) {
    headless.clockReadings = {1000, 1010, 61'010, 61'020};
    resumeFrameTimer(timer);
    tickFrameTimer(timer);
    stopFrameTimer(timer);  // a minute without frames
    resumeFrameTimer(timer);
    resumeFrameTimer(timer);  // already running: reads no clock
    tickFrameTimer(timer);
    EXPECT_FLOAT_EQ(timer.frameDelta, 0.01f);
}

}  // namespace
