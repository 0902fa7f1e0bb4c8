// RunWindow: reads the options, starts the recording, makes the window, runs the loop, where main has moved the game.
#include "win32/window_shell.h"

#include <windows.h>

#include "shell/window_session.h"
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
    WindowSession session;
    if (!BeginWindowSession(argc, argv, session)) return exitBadUsage;
    SetWindowInputScale(session.options.scale);
    UseWindowsMessageBox();
    HINSTANCE instance = GetModuleHandleA(nullptr);
    FrameLoopResult loop{exitCode, 0};
    if (RegisterGameClass(instance) != 0 &&
        CreateGameWindow(instance, StartupShowCommand(), GameWindowSettings{session.seed, session.options.scale})) {
        loop = RunFrameLoop(session.recorder);
    }
    return EndWindowSession(session, loop.framesRun) ? loop.exitCode : exitBadUsage;
}
