// The browser page's game: files first, then a frame every 50 ms of the page's clock; entry points for the page and its tests.
#include <emscripten/emscripten.h>
#include <emscripten/eventloop.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>
#include <optional>
#include <string>

#include "draw/canvas.h"
#include "game/game_frame.h"
#include "shell/input_script.h"
#include "shell/session_recorder.h"
#include "support/file_io.h"
#include "support/input_snapshot.h"
#include "support/message_box.h"
#include "support/parse_number.h"
#include "support/random.h"
#include "web/dom_input.h"
#include "web/frame_clock.h"
#include "web/picture.h"
#include "web/web_events.h"
#include "web/web_files.h"
#include "web/web_page.h"

namespace {
// The session is recorded here, in the page's memory, for the page to save.
constexpr char recordingDirectory[] = "/session";
constexpr char recordingPath[] = "/session/tessera-session.txt";

struct PageOptions {
    std::optional<uint32_t> seed;
    bool test = false;  // driven frame by frame by a test: no clock, no stored progress
};

PageOptions options;
uint32_t seed = 0;
FrameClock frameClock;
SessionRecorder recorder;
int32_t framesRun = 0;
bool ended = false;
bool dialogOpen = false;
bool endAfterDialog = false;

// The converted picture and the canvas it was made from, made once.
std::unique_ptr<uint8_t[]> picture;
std::unique_ptr<uint8_t[]> shownCanvas;
size_t canvasBytes = 0;
bool shownValid = false;

// A test's script and where its replay stands.
InputScript testScript;
ScriptPlayer testPlayer;
int32_t testFrames = 0;

void Present()
{
    const Canvas& canvas = canvases[0];
    if (shownValid && SamePixels(shownCanvas.get(), canvas.pixels.get(), canvasBytes)) return;
    std::memcpy(shownCanvas.get(), canvas.pixels.get(), canvasBytes);
    shownValid = true;
    ConvertCanvas(canvas, picture.get());
    ShowPicture(picture.get());
}

void EndGame()
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

void RunFrame()
{
    TakeInputSnapshot();
    RecordFrameInput(recorder, framesRun);
    ++framesRun;
    if (GameFrame() != 0) EndGame();
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

int32_t ShowPageDialog(const char* text, int32_t type, const char* caption)
{
    (void)type;  // the game shows one kind of box: one OK button, no icon
    dialogOpen = true;
    ShowDialog(caption, text);
    return messageBoxIdOk;
}

bool ParseOptions(int argc, char** argv)
{
    for (int i = 0; i < argc; ++i) {
        int64_t number = 0;
        if (std::strcmp(argv[i], "--test") == 0) {
            options.test = true;
        } else if (std::strcmp(argv[i], "--seed") == 0 && i + 1 < argc &&
                   ParseNumber(argv[i + 1], 0, UINT32_MAX, number)) {
            options.seed = static_cast<uint32_t>(number);
            ++i;
        } else {
            return false;
        }
    }
    return true;
}

bool ScriptButtonDown(InputKey key)
{
    return (testPlayer.heldButtons & key) != 0;
}
}  // namespace

extern "C" {
// The page's storage is loaded: the game starts.
EMSCRIPTEN_KEEPALIVE void tessera_files_ready()
{
    PlaceStages();
    SetFileWrittenObserver(options.test ? nullptr : KeepGameFiles);
    canvases[0].create(canvasWidth, canvasHeight);
    canvasBytes = static_cast<size_t>(canvasWidth) * canvasHeight * 3;
    shownCanvas = std::make_unique<uint8_t[]>(canvasBytes);
    picture = std::make_unique<uint8_t[]>(pictureBytes);
    SetMessageBoxHandler(ShowPageDialog);
    if (options.test) {
        SetKeyStateReader(ScriptButtonDown);
        AnnounceReady();
        return;
    }
    SeedRandom(seed);
    SetKeyStateReader(WebKeyDown);
    ListenToPage(EndGame);
    mkdir(recordingDirectory, 0700);
    StartRecording(recorder, recordingPath, seed);
    Present();
    // The first frame runs at once (it loads the stages), the next 50 ms on.
    StartFrameClock(frameClock, emscripten_get_now());
    RunFrame();
    Tick(nullptr);
    AnnounceReady();
}

EMSCRIPTEN_KEEPALIVE void tessera_dialog_closed()
{
    dialogOpen = false;
    if (endAfterDialog) EndGame();
}

// The session so far as a runner script: the path of its file in the page's memory.
EMSCRIPTEN_KEEPALIVE const char* tessera_recording()
{
    if (recorder.file == nullptr) return "";
    MarkRecordingEnd(recorder, framesRun);
    std::fflush(recorder.file);
    return recorder.output.temporaryPath;
}

// Tests: a script to replay, as the headless runner does, straight into
// play of stage (0 to 9; -1 for the stage list); 0 when it does not parse.
EMSCRIPTEN_KEEPALIVE int tessera_test_load_script(const char* text, int stage)
{
    std::string error;
    testScript = {};
    if (!ParseInputScript(text, "script", testScript, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 0;
    }
    testPlayer = {&testScript, 0, 0};
    testFrames = 0;
    SeedRandom(options.seed.value_or(testScript.seed.value_or(0)));
    RequestStageAtLoad(stage);
    return 1;
}

// Tests: runs the script's frames up to and including frame; 1 when the game ended.
EMSCRIPTEN_KEEPALIVE int tessera_test_run_to(int frame)
{
    for (; testFrames <= frame; ++testFrames) {
        PlayScriptUpTo(testPlayer, testFrames);
        TakeInputSnapshot();
        if (GameFrame() != 0) return 1;
    }
    return 0;
}

EMSCRIPTEN_KEEPALIVE const uint8_t* tessera_canvas_pixels()
{
    return canvases[0].pixels.get();
}
}

int main(int argc, char** argv)
{
    if (!ParseOptions(argc - 1, argv + 1)) {
        std::fprintf(stderr, "tessera: bad page arguments\n");
        return 2;
    }
    seed = options.seed.value_or(static_cast<uint32_t>(std::time(nullptr)));
    // Emscripten's libc starts with a umask of 0777, which would leave every
    // saved file unreadable: the usual one.
    umask(S_IWGRP | S_IWOTH);
    OpenGameDirectory(!options.test);
    return 0;
}
