// Benchmarks of the stage checker's counting: pentomino rectangles, a crowded stage under the game's rules, and a large unique board.
#include <benchmark/benchmark.h>

#include <string>

#include "support/bounded_read.h"
#include "authoring/pentominoes.h"
#include "authoring/stage_solver.h"
#include "authoring/stage_source.h"
#include "authoring/tiling_search.h"

namespace {
const std::vector<std::vector<Point>> pentominoes = Pentominoes();

// Times the count of the puzzle, stopping the benchmark if it is ever not the one expected.
void TimeCounts(benchmark::State& state, const Puzzle& puzzle, const SolveOptions& options, int64_t expected)
{
    for (auto _ : state) {
        SolveResult result = CountTilings(puzzle, options);
        if (result.count != expected) state.SkipWithError("wrong count");
        benchmark::DoNotOptimize(result.count);
    }
}

// The rectangle of the twelve pentominoes, mirror images allowed, every tiling
// or (with distinct) every one up to the rectangle's symmetries.
void Rectangle(benchmark::State& state, int32_t width, int32_t height, bool distinct, int32_t jobs, int64_t expected)
{
    Puzzle puzzle{width, height, width, height, pentominoes};
    SolveOptions options;
    options.mirror = true;
    options.boardOnly = true;
    options.distinct = distinct;
    options.jobs = jobs;
    TimeCounts(state, puzzle, options, expected);
}
BENCHMARK_CAPTURE(Rectangle, all_10x6_one_job, 10, 6, false, 1, 9356)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Rectangle, distinct_10x6_two_jobs, 10, 6, true, 2, 2339)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(Rectangle, distinct_10x6_one_job, 10, 6, true, 1, 2339)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Rectangle, all_12x5_one_job, 12, 5, false, 1, 4040)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Rectangle, distinct_12x5_two_jobs, 12, 5, true, 2, 1010)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(Rectangle, all_15x4_one_job, 15, 4, false, 1, 1472)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Rectangle, distinct_15x4_two_jobs, 15, 4, true, 2, 368)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(Rectangle, all_20x3_one_job, 20, 3, false, 1, 8)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Rectangle, distinct_20x3_two_jobs, 20, 3, true, 2, 2)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same 10 x 6 count by dancing links, the reference the tests compare with.
void RectangleByDancingLinks(benchmark::State& state)
{
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
BENCHMARK(RectangleByDancingLinks)->Unit(benchmark::kMillisecond)->Iterations(2);

// The puzzle of a stage source kept beside the benchmarks; false, with the
// benchmark skipped, when it cannot be read.
bool ReadBenchStage(benchmark::State& state, const char* name, Puzzle& puzzle)
{
    std::string text;
    std::string error;
    StageSource source;
    std::string path = std::string(TESSERA_BENCH_DIR "/") + name;
    if (!ReadBoundedFile(path.c_str(), text, error) || !ParseStageSource(text, name, source, error)) {
        state.SkipWithError(error.c_str());
        return false;
    }
    puzzle = StagePuzzle(CompileStage(source));
    return true;
}

// "Crowded", 7 x 7 with eleven pieces and two decoys: every solution under the
// game's rules, where pieces may stick out of the board.
void CrowdedUnderTheGameRules(benchmark::State& state)
{
    Puzzle puzzle;
    if (!ReadBenchStage(state, "crowded.txt", puzzle)) return;
    SolveOptions options;
    options.jobs = static_cast<int32_t>(state.range(0));
    TimeCounts(state, puzzle, options, 3729114);
}
BENCHMARK(CrowdedUnderTheGameRules)->Arg(2)->Unit(benchmark::kSecond)->Iterations(2)->UseRealTime();

// A 10 x 10 board of sixteen pieces without a 2 x 2 square, drawn by
// `generate --unique`: the proof that it has one tiling up to its turns, the
// count a unique stage on the largest boards is kept by. Such proofs take
// seconds to minutes from seventeen pieces on, which is why no unique
// 10 x 10 stage of twenty pieces is drawn yet: a faster one shows here first.
void UniqueTenByTenOfSixteen(benchmark::State& state)
{
    Puzzle puzzle;
    if (!ReadBenchStage(state, "unique-10x10.txt", puzzle)) return;
    SolveOptions options;
    options.distinct = true;
    TimeCounts(state, puzzle, options, 1);
}
BENCHMARK(UniqueTenByTenOfSixteen)->Unit(benchmark::kMillisecond)->Iterations(3);
}  // namespace
