#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "model_test_files.h"

namespace {

constexpr float kHalfRoot = 0.70710678f;
constexpr Quaternion kIdentity{0, 0, 0, 1};
constexpr Quaternion kQuarterTurnZ{0, 0, kHalfRoot, kHalfRoot};

void expectMaps(const Matrix4& m, Vector3 from, Vector3 to, const char* what) {
    expectNear(transformPoint(m, from), to, 1e-5f, what);
}

Matrix4 poseAt(std::span<const KeyFrame> keyFrames, std::int32_t clock) {
    return rotationMatrix(keyFrameRotation(keyFrames, clock));
}

}  // namespace

TEST(KeyFrames, QuaternionMatricesTurnAboutTheirAxes) {
    const Matrix4 identity = rotationMatrix(kIdentity);
    for (int i = 0; i < 16; ++i) {
        EXPECT_FLOAT_EQ(identity[i], i % 5 == 0 ? 1.0f : 0.0f) << i;
    }
    expectMaps(rotationMatrix(kQuarterTurnZ), {1, 0, 0}, {0, 1, 0}, "90 degrees about z");
    expectMaps(rotationMatrix({kHalfRoot, 0, 0, kHalfRoot}), {0, 1, 0}, {0, 0, 1}, "about x");
    expectMaps(rotationMatrix({0, kHalfRoot, 0, kHalfRoot}), {0, 0, 1}, {1, 0, 0}, "about y");
}

TEST(KeyFrames, ClockStepsThroughTheKeyFramesAndWraps) {
    ModelNode node;
    node.keyFrames = {{0, kIdentity}, {1000, kIdentity}, {2000, kQuarterTurnZ}};
    std::vector<std::int32_t> clocks;
    for (int draw = 0; draw < 22; ++draw) {
        clocks.push_back(node.animTime);
        const Matrix4 pose = node.keyFrameStep();
        if (clocks.back() == 1500) {
            expectMaps(pose, {1, 0, 0}, {kHalfRoot, kHalfRoot, 0}, "halfway: 45 degrees");
        }
        if (clocks.back() == 0) {
            expectMaps(pose, {1, 0, 0}, {1, 0, 0}, "key frame 0");
        }
    }
    std::vector<std::int32_t> expected;
    for (std::int32_t clock = 0; clock < 2000; clock += 100) {
        expected.push_back(clock);
    }
    expected.push_back(0);
    expected.push_back(100);
    EXPECT_EQ(clocks, expected);

    // The step is taken without overflow near the largest time.
    node.keyFrames.back().time = std::numeric_limits<std::int32_t>::max();
    node.animTime = std::numeric_limits<std::int32_t>::max() - 50;
    node.keyFrameStep();
    EXPECT_EQ(node.animTime, 0);
}

TEST(KeyFrames, PoseAtKeyTimesAndWhereTheIntervalIsEmpty) {
    const KeyFrame unnormalised[] = {{0, kIdentity}, {1000, {0, 0, 2, 2}}, {3000, kIdentity}};
    expectMaps(poseAt(unnormalised, 1000), {1, 0, 0}, {0, 1, 0}, "at a key time, normalised");

    const KeyFrame lateStart[] = {{500, kQuarterTurnZ}, {1000, kIdentity}};
    expectMaps(poseAt(lateStart, 0), {1, 0, 0}, {0, 1, 0}, "before the first key frame");

    const KeyFrame single[] = {{0, kQuarterTurnZ}};
    expectMaps(poseAt(single, 0), {1, 0, 0}, {0, 1, 0}, "one key frame");
    const KeyFrame sameTime[] = {{0, kQuarterTurnZ}, {0, kIdentity}};
    expectMaps(poseAt(sameTime, 0), {1, 0, 0}, {0, 1, 0}, "two equal times");

    // Opposite quaternions are the same turn; halfway they blend to zero.
    const Quaternion opposite{0, 0, -kHalfRoot, -kHalfRoot};
    const KeyFrame flipped[] = {{0, kQuarterTurnZ}, {1000, opposite}, {2000, kIdentity}};
    expectMaps(poseAt(flipped, 500), {1, 0, 0}, {0, 1, 0}, "opposite quaternions halfway");
    const KeyFrame zero[] = {{0, {0, 0, 0, 0}}, {1000, kIdentity}};
    expectMaps(poseAt(zero, 0), {1, 2, 3}, {1, 2, 3}, "a zero quaternion");
}
