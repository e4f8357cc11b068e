#pragma once
// The frame clock: read once per frame, it gives the seconds between the last two frames, which
// scale the camera's movement so that flying speed does not depend on the frame rate. It counts
// only time between frames: after a pause without frames, the first interval is a real frame's
// again.

#include <cstdint>

// The shell keeps one for the whole run; its frameDelta reaches the camera as an argument.
struct FrameTimer {
    std::uint32_t previousReading = 0;  // milliseconds, the clock reading of the last tick
    float frameDelta = 0;               // seconds between the last two ticks
    bool stopped = true;                // frames have paused; the next one starts the clock afresh
};

// No frames for a while (the window minimised, or made anew with its scene): the time until the
// next frame belongs to no frame.
void stopFrameTimer(FrameTimer& timer);

// Before a frame's camera update: after a pause the clock starts afresh from now.
void resumeFrameTimer(FrameTimer& timer);

// Reads the millisecond clock and updates frameDelta. The interval is taken in whole milliseconds,
// so it stays exact however long the clock has run, and across the 32-bit counter's wrap; a clock
// that steps back counts 0.
void tickFrameTimer(FrameTimer& timer);
