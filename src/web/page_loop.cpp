// The page's loop over emscripten's timers: picture of the period before, snapshot, GameFrame, timer to the next due time.
#include "web/page_loop.h"

#include <emscripten/emscripten.h>
#include <emscripten/eventloop.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <memory>

#include "cursor/key_cursor.h"
#include "draw/canvas.h"
#include "game/game_frame.h"
#include "shell/session_recorder.h"
#include "support/input_snapshot.h"
#include "support/message_box.h"
#include "web/frame_clock.h"
#include "web/picture.h"
#include "web/web_page.h"

namespace {
// The session is recorded here, in the page's memory, for the page to save.
constexpr char recordingDirectory[] = "/session";
constexpr char recordingPath[] = "/session/tessera-session.txt";
constexpr size_t canvasBytes = static_cast<size_t>(canvasWidth) * canvasHeight * 3;

FrameClock frameClock;
SessionRecorder recorder;
int32_t framesRun = 0;
bool ended = false;
bool dialogOpen = false;
bool endAfterDialog = false;

// The converted picture and the canvas it was made from, made once.
std::unique_ptr<uint8_t[]> picture;
std::unique_ptr<uint8_t[]> shownCanvas;
bool shownValid = false;

void Present()
{
    const Canvas& canvas = canvases[0];
    if (shownValid && SamePixels(shownCanvas.get(), canvas.pixels.get(), canvasBytes)) return;
    std::memcpy(shownCanvas.get(), canvas.pixels.get(), canvasBytes);
    shownValid = true;
    ConvertCanvas(canvas, picture.get());
    ShowPicture(picture.get());
}

// The pads the page sees, read once a frame through the Gamepad API in its
// standard layout: buttons 0 A, 1 B, 2 X, 12 to 15 the d-pad; axes 0 and 1
// the left stick. The buttons come back as PadButton bits, the stick in stick.
EM_JS(int, ReadPagePads, (int* stick), {
    var pads = navigator.getGamepads ? navigator.getGamepads() : [];
    var buttonBits = Module.tesseraPadButtonBits ||
        (Module.tesseraPadButtonBits = [0, 0x1, 1, 0x2, 2, 0x4, 12, 0x8, 13, 0x10, 14, 0x20, 15, 0x40]);
    var bits = 0;
    var x = 0;
    var y = 0;
    for (var i = 0; i < pads.length; ++i) {
        var pad = pads[i];
        if (!pad || !pad.connected) continue;
        for (var k = 0; k < buttonBits.length; k += 2) {
            var button = pad.buttons[buttonBits[k]];
            if (button && button.pressed) bits |= buttonBits[k + 1];
        }
        if (pad.axes.length >= 2 && Math.abs(pad.axes[0]) > Math.abs(x)) x = pad.axes[0];
        if (pad.axes.length >= 2 && Math.abs(pad.axes[1]) > Math.abs(y)) y = pad.axes[1];
    }
    HEAP32[stick >> 2] = Math.round(Math.max(-1, Math.min(1, x)) * 32767);
    HEAP32[(stick >> 2) + 1] = Math.round(Math.max(-1, Math.min(1, y)) * 32767);
    return bits;
});

// The ring that shows where keys and pads put the mouse, an element over the
// canvas and never pixels of it; hidden while the mouse or a finger steers.
EM_JS(void, ShowKeyRing, (int shown, int x, int y), {
    var ring = document.getElementById('key-ring');
    var canvas = document.getElementById('screen');
    if (!ring || !canvas) return;
    if (!shown) {
        ring.hidden = true;
        return;
    }
    var box = canvas.getBoundingClientRect();
    var scale = box.width / canvas.width;
    ring.style.left = (window.scrollX + box.left + (x + 0.5) * scale) + 'px';
    ring.style.top = (window.scrollY + box.top + (y + 0.5) * scale) + 'px';
    ring.hidden = false;
});

int32_t padStick[2] = {};
bool ringShown = false;
Point ringAt = {-1, -1};

void FollowKeysAndPads()
{
    uint32_t buttons = static_cast<uint32_t>(ReadPagePads(padStick));
    RecordPadControls(CursorControlsForPad(buttons, padStick[0], padStick[1]));
    StepKeyCursor();
    bool shown = keyCursor.active;
    if (shown == ringShown && (!shown || (ringAt.x == keyCursor.position.x && ringAt.y == keyCursor.position.y))) return;
    ringShown = shown;
    ringAt = keyCursor.position;
    ShowKeyRing(shown ? 1 : 0, ringAt.x, ringAt.y);
}

void RunFrame()
{
    FollowKeysAndPads();
    TakeInputSnapshot();
    RecordFrameInput(recorder, framesRun);
    ++framesRun;
    if (GameFrame() != 0) EndPageGame();
}

// A frame when one is due: first the picture drawn in the period before,
// then the snapshot and the game's frame; then a timer for the next due time.
void Tick(void*)
{
    if (ended) return;
    if (!dialogOpen && TakeDueFrame(frameClock, emscripten_get_now())) {
        Present();
        RunFrame();
    }
    if (!ended) emscripten_set_timeout(Tick, WaitBeforeNextFrame(frameClock, emscripten_get_now()), nullptr);
}
}  // namespace

void StartPageLoop(uint32_t seed)
{
    shownCanvas = std::make_unique<uint8_t[]>(canvasBytes);
    picture = std::make_unique<uint8_t[]>(pictureBytes);
    mkdir(recordingDirectory, 0700);
    StartRecording(recorder, recordingPath, seed);
    Present();
    // The first frame runs at once (it loads the stages), the next 50 ms on.
    StartFrameClock(frameClock, emscripten_get_now());
    RunFrame();
    Tick(nullptr);
}

void EndPageGame()
{
    if (ended) return;
    if (dialogOpen) {
        endAfterDialog = true;
        return;
    }
    ended = true;
    MarkRecordingEnd(recorder, framesRun);
    ShowGameEnded();
}

int32_t ShowPageDialog(const char* text, int32_t type, const char* caption)
{
    (void)type;  // the game shows one kind of box: one OK button, no icon
    dialogOpen = true;
    ShowDialog(caption, text);
    return messageBoxIdOk;
}

extern "C" {
EMSCRIPTEN_KEEPALIVE void tessera_dialog_closed()
{
    dialogOpen = false;
    if (endAfterDialog) EndPageGame();
}

// How many frames have run: the pointer layer holds a finger's moves back
// until a frame has seen where it landed.
EMSCRIPTEN_KEEPALIVE int tessera_frames_run()
{
    return framesRun;
}

// The session so far as a runner script: the path of its file in the page's memory.
EMSCRIPTEN_KEEPALIVE const char* tessera_recording()
{
    if (recorder.file == nullptr) return "";
    MarkRecordingEnd(recorder, framesRun);
    std::fflush(recorder.file);
    return recorder.output.replacement.temporaryPath;
}
}
