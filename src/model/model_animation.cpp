#include <algorithm>
#include <cmath>

#include "model/model.h"

namespace {

// How far the clock of an animated node moves each time the node is drawn.
constexpr std::int64_t kClockStep = 100;

float quaternionLength(Quaternion q) {
    return std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w);
}

Quaternion blend(Quaternion a, Quaternion b, float factor) {
    const float keep = 1 - factor;
    return {keep * a.x + factor * b.x, keep * a.y + factor * b.y, keep * a.z + factor * b.z,
            keep * a.w + factor * b.w};
}

// A zero quaternion stands for no rotation: dividing it by its length would turn every vertex of
// the node into NaN.
Quaternion normalized(Quaternion q) {
    const float length = quaternionLength(q);
    if (length == 0) {
        return {0, 0, 0, 1};
    }
    return {q.x / length, q.y / length, q.z / length, q.w / length};
}

}  // namespace

Quaternion keyFrameRotation(std::span<const KeyFrame> keyFrames, std::int32_t clock) {
    const auto later = std::find_if(keyFrames.begin(), keyFrames.end(),
                                    [clock](const KeyFrame& frame) { return frame.time > clock; });
    const std::size_t count = keyFrames.size();
    const auto laterIndex = static_cast<std::size_t>(later - keyFrames.begin());
    // A clock before the first key frame shows the first; past the last, the search starts over.
    const bool beforeFirst = laterIndex == 0;
    const std::size_t current = (beforeFirst || laterIndex == count) ? 0 : laterIndex - 1;
    const std::size_t next = current + 1 == count ? 0 : current + 1;
    const KeyFrame& from = keyFrames[current];
    const KeyFrame& to = keyFrames[next];
    const std::int64_t interval = std::int64_t{to.time} - from.time;
    const float factor =
        (beforeFirst || interval == 0)
            ? 0.0f
            : static_cast<float>(std::int64_t{clock} - from.time) / static_cast<float>(interval);
    const Quaternion rotation = blend(from.rotation, to.rotation, factor);
    // Opposite quaternions of one rotation blend to zero halfway; the pose there is that rotation.
    return normalized(quaternionLength(rotation) == 0 ? from.rotation : rotation);
}

Matrix4 ModelNode::keyFrameStep() {
    const Quaternion pose = keyFrameRotation(keyFrames, animTime);
    // The clock never holds the last key frame's time: reaching it starts the animation over.
    const std::int64_t advanced = animTime + kClockStep;
    animTime = advanced >= keyFrames.back().time ? 0 : static_cast<std::int32_t>(advanced);
    return rotationMatrix(pose);
}
