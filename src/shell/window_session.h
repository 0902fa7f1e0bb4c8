// What every windowed front end does around its window: reads the command line, chooses the seed, records the session.
#pragma once

#include <cstdint>

#include "shell/session_recorder.h"
#include "shell/window_options.h"

struct WindowSession {
    WindowOptions options;
    uint32_t seed = 0;  // the one asked for, else the clock's
    SessionRecorder recorder;
};

// Reads the window's command line and starts the recording it names. False
// after saying why on stderr (with the usage, where the arguments are bad):
// the program then ends with status 2 before any window opens.
bool BeginWindowSession(int argc, char** argv, WindowSession& session);

// Puts the recording in place once framesRun frames have run. False after
// saying on stderr why it could not be written: the program then ends with
// status 2, and the file that was there stays.
bool EndWindowSession(WindowSession& session, int32_t framesRun);
