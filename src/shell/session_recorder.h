// Records a window session's input as an input script, so the headless runner replays it frame for frame.
#pragma once

#include <cstdint>
#include <cstdio>

#include "support/user_output.h"

struct SessionRecorder {
    UserOutput output;  // a file is replaced when the recording stops; a stream is written as it goes
    std::FILE* file = nullptr;
    int32_t lastFrame = -1;  // -1 until the first line is written
    int32_t lastX = 0;
    int32_t lastY = 0;
    uint32_t lastButtons = 0;
};

bool StartRecording(SessionRecorder& recorder, const char* path, uint32_t seed);

// Called after each snapshot, before that frame runs; writes a line when the
// mouse or the buttons changed.
void RecordFrameInput(SessionRecorder& recorder, int32_t frame);

// Writes a line for the last frame that ran when the input has not changed
// since the last line, so a replay runs as many frames; the recording goes on.
void MarkRecordingEnd(SessionRecorder& recorder, int32_t framesRun);

// Marks the last frame that ran, so the replay runs as many frames, and puts
// the recording in place. False (errno set) when it could not be written; the
// file that was there stays.
bool StopRecording(SessionRecorder& recorder, int32_t framesRun);
