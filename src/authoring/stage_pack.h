// Stage packs: ten stages made from one seed, a learning curve like the shipped set's, the same on every machine.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "game/data_files.h"

// Bumped whenever a change to the generator changes the pack of any seed:
// the version is written into every pack, so a pack names how it was made.
constexpr int32_t packGeneratorVersion = 11;

// How hard a pack's stages are. Normal teaches on small boards first; hard
// has one tiling from the first stage and grows to 10 x 8; expert grows
// from 8 x 8 to 10 x 10.
enum class PackLevel : int32_t { normal, hard, expert };
constexpr PackLevel packLevels[] = {PackLevel::normal, PackLevel::hard, PackLevel::expert};

// "normal", "hard" or "expert", as players type and packs name it.
const char* PackLevelName(PackLevel level);
// The level a player typed; false when it names none.
bool ParsePackLevel(std::string_view text, PackLevel& level);
// A pack's name as players share it: 48213, hard-48213, expert-48213.
std::string PackName(PackLevel level, uint32_t seed);

struct PackOptions {
    uint32_t seed = 0;
    PackLevel level = PackLevel::normal;
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
    PackLevel level = PackLevel::normal;
    std::vector<PackStage> stages;
};

// Makes the pack of options.seed and options.level. Normal: stages 1 and 2
// teach on small boards, from stage 3 on each board has one tiling up to its
// turns, and the last two are 10 x 6 with twelve pieces or more. Hard: every
// board has one tiling, its first stage is above the normal pack's stage 6
// of the seed, and the last four are 10 x 8 with sixteen pieces, three of
// them decoys. Expert: every board has one tiling, its first stage is above
// the normal pack's stage 8, its boards grow from 8 x 8 and the last two
// are 10 x 10 with twenty pieces, five of them decoys, and no piece holds a
// 2 x 2 square. In every level the grades of the unique stages rise strictly,
// two stages or more carry decoys, and the last is the hardest. No clock or
// thread timing decides anything. On a failure sets error to why and
// returns false.
bool MakeStagePack(const PackOptions& options, StagePack& pack, std::string& error);

// pack.txt: the seed, the level (unless normal), the generator's version,
// the release of tessera that wrote it ("tessera 1.1.0"), then each stage's
// source after a line "== stN.dat".
std::string WritePackText(const StagePack& pack);
