#include "view/frame_timer.h"

#include "platform/platform.h"

namespace {
float clockSeconds() {
    return static_cast<float>(platform().timeGetTime()) * 0.001f;
}
}  // namespace

FrameTimer& frameTimer() {
    static FrameTimer timer;
    return timer;
}

void seedFrameTimer() {
    frameTimer().previousTime = clockSeconds();
}

void tickFrameTimer() {
    FrameTimer& timer = frameTimer();
    const float now = clockSeconds();
    const float delta = now - timer.previousTime;
    timer.frameDelta = delta < 0 ? 0 : delta;
    timer.previousTime = now;
}
