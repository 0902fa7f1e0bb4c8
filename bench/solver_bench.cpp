// Benchmark of the solver: every tiling of the 10 x 6 rectangle by the twelve pentominoes.
#include <benchmark/benchmark.h>

#include "tools/stages/pentominoes.h"
#include "tools/stages/stage_solver.h"

namespace {
void PentominoRectangle(benchmark::State& state)
{
    const std::vector<std::vector<Point>> pentominoes = Pentominoes();
    Puzzle puzzle{10, 6, 10, 6, pentominoes};
    SolveOptions options;
    options.mirror = true;
    options.boardOnly = true;
    for (auto _ : state) {
        SolveResult result = SolvePuzzle(puzzle, options);
        if (result.count != 9356) state.SkipWithError("wrong count");
        benchmark::DoNotOptimize(result.count);
    }
}
BENCHMARK(PentominoRectangle)->Unit(benchmark::kMillisecond)->Iterations(3);
}  // namespace
