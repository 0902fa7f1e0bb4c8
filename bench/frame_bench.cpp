// Benchmarks of whole frames: the heaviest play frame and the stage select screen.
#include <benchmark/benchmark.h>

#include "draw/canvas.h"
#include "game/data_files.h"
#include "game/game_frame.h"
#include "game/stage_select.h"
#include "heavy_frame.h"
#include "support/input_snapshot.h"

namespace {
void HeavyPlayFrame(benchmark::State& state)
{
    canvases[0].create(640, 480);
    SetUpHeavyPlayFrame();
    for (auto _ : state) {
        GameFrame();
        benchmark::DoNotOptimize(canvases[0].pixels.get());
    }
}
BENCHMARK(HeavyPlayFrame)->Unit(benchmark::kMicrosecond);

void StageSelectFrame(benchmark::State& state)
{
    canvases[0].create(640, 480);
    chosenEntry = -1;
    dataLoadPending = false;
    gameMode = stageSelectMode;
    modeInitPending = true;
    inputSnapshot = {};
    inputSnapshot.mouseX = 500;
    inputSnapshot.mouseY = 171;
    for (auto _ : state) {
        GameFrame();
        benchmark::DoNotOptimize(canvases[0].pixels.get());
    }
}
BENCHMARK(StageSelectFrame)->Unit(benchmark::kMicrosecond);
}  // namespace
