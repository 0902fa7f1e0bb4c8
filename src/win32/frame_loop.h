// The frame loop: waiting messages first, then one game frame when due, every 50 ms by the millisecond clock.
#pragma once

#include <cstdint>

struct SessionRecorder;

struct FrameLoopResult {
    int exitCode;       // the quit message's code: 0 after a close
    int32_t framesRun;  // game frames that ran, for the recording's end
};

// Runs until the window has been destroyed; each frame's input goes to the recorder.
FrameLoopResult RunFrameLoop(SessionRecorder& recorder);
