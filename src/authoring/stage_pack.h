// Stage packs: ten stages made from one seed, a learning curve like the shipped set's, the same on every machine.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "game/data_files.h"

// Bumped whenever a change to the generator changes the pack of any seed:
// the version is written into every pack, so a pack names how it was made.
constexpr int32_t packGeneratorVersion = 4;

struct PackOptions {
    uint32_t seed = 0;
    int32_t jobs = 1;  // threads for the walkers; the pack is the same for every value
    // Told the stage (0 .. stageCount - 1) being made, before it is made.
    std::function<void(int32_t)> onStage;
};

struct PackStage {
    std::string source;  // the stage in the text format, with its title and grade as comments
    StageFile file;
    double grade = 0;
};

struct StagePack {
    uint32_t seed = 0;
    std::vector<PackStage> stages;
};

// Makes the pack of options.seed: stages 1 and 2 teach on small boards, and
// from stage 3 on each board has one tiling up to its turns, the grades rise
// strictly, two stages or more carry decoys, and the last two are 10 x 6 with
// twelve pieces or more. No clock or thread timing decides anything. On a
// failure sets error to why and returns false.
bool MakeStagePack(const PackOptions& options, StagePack& pack, std::string& error);

// pack.txt: the seed, the generator's version, the release of tessera that
// wrote it ("tessera 1.1.0"), then each stage's source after a line "== stN.dat".
std::string WritePackText(const StagePack& pack);
