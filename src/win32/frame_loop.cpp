// RunFrameLoop: messages first, then a due frame, then a sleep until a message or the due time.
// The game's InputKey::Escape and GDI's Escape() share a name: this file needs no GDI.
#define NOGDI
#include "win32/frame_loop.h"

#include <windows.h>

#include <mmsystem.h>

#include "cursor/key_cursor.h"
#include "game/game_frame.h"
#include "shell/session_recorder.h"
#include "support/input_snapshot.h"
#include "win32/game_window.h"
#include "win32/window_input.h"
#include "win32/xinput_pads.h"

namespace {
constexpr UINT frameInterval = 50;  // milliseconds: 20 frames a second
constexpr UINT clockPeriod = 1;     // the clock's and the wait's resolution, in milliseconds

// Sleeps until a message waits (one already queued counts too) or the
// milliseconds have passed; the loop looks at both again either way.
void WaitForMessageOrTime(DWORD milliseconds)
{
    MsgWaitForMultipleObjectsEx(0, nullptr, milliseconds, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}
}  // namespace

// Messages always go first. When none waits, a due frame runs: the snapshot,
// the recorder, GameFrame. Then the loop sleeps until a message arrives or the
// clock passes the due time, and requests the repaint that shows the frame.
FrameLoopResult RunFrameLoop(SessionRecorder& recorder)
{
    FrameLoopResult result{0, 0};
    bool frameDue = true;
    DWORD nextFrameTime = timeGetTime();
    timeBeginPeriod(clockPeriod);
    MSG message;
    for (;;) {
        if (PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) {
            BOOL got = GetMessageA(&message, nullptr, 0, 0);
            if (got == 0 || got == -1) {
                result.exitCode = got == 0 ? static_cast<int>(message.wParam) : 0;
                break;
            }
            TranslateMessage(&message);
            DispatchMessageA(&message);
            continue;
        }
        if (frameDue) {
            // Keys and pads move the mouse; the system pointer goes where they put it.
            RecordPadControls(ReadXInputControls());
            if (StepKeyCursor()) ShowKeyCursor();
            TakeInputSnapshot();
            RecordFrameInput(recorder, result.framesRun);
            ++result.framesRun;
            if (GameFrame() != 0) SendMessageA(mainWindow, WM_CLOSE, 0, 0);
            frameDue = false;
        }
        DWORD now = timeGetTime();
        if (now <= nextFrameTime) {
            WaitForMessageOrTime(nextFrameTime - now + clockPeriod);
            continue;
        }
        RequestRepaint();
        nextFrameTime += frameInterval;
        if (now > nextFrameTime) nextFrameTime = now + frameInterval;  // a late frame is dropped, not caught up
        frameDue = true;
    }
    timeEndPeriod(clockPeriod);
    return result;
}
