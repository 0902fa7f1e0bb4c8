// RunWindow: reads the options, starts the recording, makes the window, runs the loop, where main has moved the game.
#include "win32/window_shell.h"

#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>

#include "shell/session_recorder.h"
#include "shell/usage.h"
#include "shell/window_options.h"
#include "support/working_directory.h"
#include "win32/frame_loop.h"
#include "win32/game_window.h"
#include "win32/message_box.h"
#include "win32/window_input.h"

namespace {
constexpr int exitCode = 0;
constexpr int exitBadUsage = 2;

// The show command the starter asked for, SW_SHOWDEFAULT when it named none.
int StartupShowCommand()
{
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    return (startup.dwFlags & STARTF_USESHOWWINDOW) != 0 ? startup.wShowWindow : SW_SHOWDEFAULT;
}
}  // namespace

int RunWindow(int argc, char** argv)
{
    WindowOptions options;
    std::string reason = ParseWindowOptions(argc, argv, options);
    if (!reason.empty()) {
        std::fprintf(stderr, "tessera: %s\n%s", reason.c_str(), tesseraUsage);
        return exitBadUsage;
    }
    uint32_t seed = options.seed.value_or(static_cast<uint32_t>(std::time(nullptr)));
    SessionRecorder recorder;
    if (options.recordPath != nullptr && !StartRecording(recorder, PathFromStart(options.recordPath).c_str(), seed)) {
        std::fprintf(stderr, "tessera: cannot write %s: %s\n", options.recordPath, std::strerror(errno));
        return exitBadUsage;
    }
    SetWindowInputScale(options.scale);
    UseWindowsMessageBox();
    HINSTANCE instance = GetModuleHandleA(nullptr);
    int result = exitCode;
    FrameLoopResult loop{exitCode, 0};
    if (RegisterGameClass(instance) != 0 &&
        CreateGameWindow(instance, StartupShowCommand(), GameWindowSettings{seed, options.scale})) {
        loop = RunFrameLoop(recorder);
        result = loop.exitCode;
    }
    if (!StopRecording(recorder, loop.framesRun)) {
        std::fprintf(stderr, "tessera: cannot write %s: %s\n", options.recordPath, std::strerror(errno));
        result = exitBadUsage;
    }
    return result;
}
