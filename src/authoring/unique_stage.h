// Making stages whose board has exactly one tiling up to its turns, proved by the solver.
#pragma once

#include <cstdint>
#include <string>

#include "authoring/stage_generator.h"

struct UniqueReport {
    int64_t candidates = 0;  // partitions whose tilings were counted or looked up
    int64_t steps = 0;       // search steps of every walker, a measure of the work that no clock changes
    int32_t rounds = 0;      // rounds the walkers took
    double seconds = 0;
};

// Draws random partitions until one has a single tiling of the board up to
// its turns (reflections too with mirror images), then adds options.decoys
// pieces that leave it so. Gives up after options.timeLimit seconds with a
// reason in error, never with a stage that is not unique.
bool GenerateUniqueStage(const GenerateOptions& options, std::string& source, UniqueReport& report, std::string& error);
