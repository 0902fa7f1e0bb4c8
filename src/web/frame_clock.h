// The page's frame clock: a frame every 50 ms of the browser's clock, late frames dropped rather than caught up.
#pragma once

constexpr double webFrameInterval = 50;  // milliseconds

struct FrameClock {
    double nextFrameTime = 0;  // a frame is due once the clock is strictly past this
};

void StartFrameClock(FrameClock& clock, double now);

// True when a frame is due at now; the schedule then moves on by one period,
// or to now plus one period when the work has fallen behind.
bool TakeDueFrame(FrameClock& clock, double now);

// Milliseconds to wait before the next frame can be due.
double WaitBeforeNextFrame(const FrameClock& clock, double now);
