// FrameClock: the window's schedule (due strictly after the time, then one period on) in the browser's milliseconds.
#include "web/frame_clock.h"

void StartFrameClock(FrameClock& clock, double now)
{
    clock.nextFrameTime = now;
}

bool TakeDueFrame(FrameClock& clock, double now)
{
    if (now <= clock.nextFrameTime) return false;
    clock.nextFrameTime += webFrameInterval;
    if (now > clock.nextFrameTime) clock.nextFrameTime = now + webFrameInterval;
    return true;
}

double WaitBeforeNextFrame(const FrameClock& clock, double now)
{
    double wait = clock.nextFrameTime - now;
    // A timer set for the due time itself could fire a hair early: one more millisecond.
    return wait < 0 ? 0 : wait + 1;
}
