// Benchmark of the solver: every tiling of the 10 x 6 rectangle by the twelve pentominoes.
#include <benchmark/benchmark.h>

#include "tools/stages/stage_solver.h"

namespace {
void PentominoRectangle(benchmark::State& state)
{
    const std::vector<std::vector<Point>> pentominoes = {
        {{1, 0}, {2, 0}, {0, 1}, {1, 1}, {1, 2}}, {{0, 0}, {0, 1}, {0, 2}, {0, 3}, {0, 4}},
        {{0, 0}, {0, 1}, {0, 2}, {0, 3}, {1, 3}}, {{1, 0}, {1, 1}, {1, 2}, {0, 2}, {0, 3}},
        {{0, 0}, {1, 0}, {0, 1}, {1, 1}, {0, 2}}, {{0, 0}, {1, 0}, {2, 0}, {1, 1}, {1, 2}},
        {{0, 0}, {2, 0}, {0, 1}, {1, 1}, {2, 1}}, {{0, 0}, {0, 1}, {0, 2}, {1, 2}, {2, 2}},
        {{0, 0}, {0, 1}, {1, 1}, {1, 2}, {2, 2}}, {{1, 0}, {0, 1}, {1, 1}, {2, 1}, {1, 2}},
        {{1, 0}, {0, 1}, {1, 1}, {1, 2}, {1, 3}}, {{0, 0}, {1, 0}, {1, 1}, {1, 2}, {2, 2}},
    };
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
