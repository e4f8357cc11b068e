#pragma once
// The frame clock: read once per frame, it gives the seconds between the last two frames, which
// scale the camera's movement so that flying speed does not depend on the frame rate.

struct FrameTimer {
    float previousTime = 0;  // seconds, the clock reading of the last tick
    float frameDelta = 0;    // seconds between the last two ticks
};

// The one timer of the process.
FrameTimer& frameTimer();

// Seeds the previous time stamp with a clock reading, so the first interval is a real frame's.
void seedFrameTimer();

// Reads the millisecond clock and updates frameDelta; an interval that runs backwards (the clock's
// 32-bit wrap) counts as 0.
void tickFrameTimer();
