// The tests' entry points: load a runner script, run its frames as the headless runner does, read canvas 0.
#include "web/test_entry.h"

#include <emscripten/emscripten.h>

#include <cstdio>
#include <string>

#include "draw/canvas.h"
#include "game/game_frame.h"
#include "shell/input_script.h"
#include "support/input_snapshot.h"
#include "support/random.h"

namespace {
std::optional<uint32_t> seedOption;
InputScript testScript;
ScriptPlayer testPlayer;
int32_t testFrames = 0;
}  // namespace

void StartTestEntry(std::optional<uint32_t> seed)
{
    seedOption = seed;
    StartScriptInput(testPlayer, testScript);
}

extern "C" {
// A script to replay, straight into play of stage (0 to 9; -1 for the stage
// list); 0 when it does not parse.
EMSCRIPTEN_KEEPALIVE int tessera_test_load_script(const char* text, int stage)
{
    std::string error;
    testScript = {};
    if (!ParseInputScript(text, "script", testScript, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 0;
    }
    StartScriptInput(testPlayer, testScript);
    testFrames = 0;
    SeedRandom(seedOption.value_or(testScript.seed.value_or(0)));
    RequestStageAtLoad(stage);
    return 1;
}

// Runs the script's frames up to and including frame; 1 when the game ended.
EMSCRIPTEN_KEEPALIVE int tessera_test_run_to(int frame)
{
    for (; testFrames <= frame; ++testFrames) {
        PlayScriptUpTo(testPlayer, testFrames);
        TakeInputSnapshot();
        if (GameFrame() != 0) return 1;
    }
    return 0;
}

// The mouse position of the last snapshot, x + 65536 * y: where a pointer
// on the shown canvas reached the game.
EMSCRIPTEN_KEEPALIVE int tessera_test_snapshot_mouse()
{
    return inputSnapshot.mouseX + 65536 * inputSnapshot.mouseY;
}

// Canvas 0's bottom-up BGR store.
EMSCRIPTEN_KEEPALIVE const uint8_t* tessera_canvas_pixels()
{
    return canvases[0].pixels.get();
}
}
