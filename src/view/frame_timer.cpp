#include "view/frame_timer.h"

#include "platform/platform.h"

void stopFrameTimer(FrameTimer& timer) {
    timer.stopped = true;
}

void resumeFrameTimer(FrameTimer& timer) {
    if (timer.stopped) {
        timer.previousReading = platform().timeGetTime();
        timer.stopped = false;
    }
}

void tickFrameTimer(FrameTimer& timer) {
    const std::uint32_t now = platform().timeGetTime();
    // The unsigned difference read as signed: across the wrap it is the true short interval, and a
    // clock that stepped back gives a negative one.
    const auto elapsed = static_cast<std::int32_t>(now - timer.previousReading);
    timer.frameDelta = elapsed < 0 ? 0 : static_cast<float>(elapsed) / 1000.0f;
    timer.previousReading = now;
}
