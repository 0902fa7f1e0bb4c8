// The browser's frame benchmark: the heaviest play frame, run and timed inside the page.
#include <emscripten/emscripten.h>

#include "draw/canvas.h"
#include "game/game_frame.h"
#include "heavy_frame.h"

extern "C" {
// Milliseconds per frame over the given number of frames, after a few to warm up.
EMSCRIPTEN_KEEPALIVE double tessera_bench_heavy_frame(int frames)
{
    constexpr int warmUpFrames = 20;
    canvases[0].create(canvasWidth, canvasHeight);
    SetUpHeavyPlayFrame();
    for (int i = 0; i < warmUpFrames; ++i) GameFrame();
    double start = emscripten_get_now();
    for (int i = 0; i < frames; ++i) GameFrame();
    return (emscripten_get_now() - start) / (frames > 0 ? frames : 1);
}
}

int main()
{
    return 0;
}
