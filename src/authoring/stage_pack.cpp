// MakeStagePack: each stage drawn from its own seed, taken from the pack's, retried until its grade rises.
#include "authoring/stage_pack.h"

#include <algorithm>
#include <cstdio>
#include <utility>
#include <vector>

#include "authoring/seeded_random.h"
#include "authoring/stage_generator.h"
#include "authoring/stage_grade.h"
#include "authoring/stage_solver.h"
#include "authoring/stage_source.h"
#include "authoring/unique_stage.h"

namespace {
// One stage of the curve. Cheap stages are drawn several times and the
// easiest one that still rises is kept, which leaves room above it for the
// dear ones, where the first that rises is kept.
struct StageRecipe {
    int32_t width;
    int32_t height;
    int32_t pieces;
    int32_t minCells;
    int32_t maxCells;
    int32_t decoys;
    bool unique;         // one tiling of the board up to its turns
    int32_t candidates;  // rising stages drawn before the easiest is kept
    bool noSquares;      // no piece holds a 2 x 2 square of its own
};

using Recipes = StageRecipe[stageCount];

// The 8 x 6 stage has nine pieces. The walk that leads pieces away from
// squares and toward corners made its stages of ten harder (a median grade
// of 11.6 against 10.8 for seeds 1 to 10): keeping the first that rose, an
// expert pack's first stage, which must be harder still, was not found in
// its 48 tries for two seeds in ten, and keeping the easier of two cost a
// sixth of a normal pack's time. Of nine pieces its grades lie between the
// 7 x 6 stage's and the 10 x 6 stages' (seeds 21 to 100: 0.1 to 5.5 above
// the stage before, a median of 2.3), and the first that rises is kept.
constexpr Recipes normalRecipes = {
    {4, 2, 3, 2, 3, 0, false, 1, false},
    {4, 3, 4, 2, 4, 0, false, 1, false},
    {5, 4, 5, 3, 5, 0, true, 3, false},
    {5, 5, 6, 3, 5, 0, true, 3, false},
    {6, 5, 6, 4, 6, 1, true, 3, false},
    {6, 6, 7, 4, 6, 0, true, 3, false},
    {7, 6, 8, 4, 7, 1, true, 3, false},
    {8, 6, 9, 3, 7, 0, true, 1, false},
    {10, 6, 12, 3, 7, 0, true, 1, false},
    {10, 6, 12, 3, 7, 2, true, 1, false},
};

// Hard: one tiling from the first stage, up to 10 x 8 with sixteen pieces, of
// which three are decoys: thirteen pieces are what a 10 x 8 board can be
// proved unique with in seconds today (fourteen took up to twenty-one). No
// piece, decoys included, holds a 2 x 2 square: a pack takes a third of the
// time it takes with compact pieces, most of it saved on decoys.
constexpr Recipes hardRecipes = {
    {6, 6, 8, 3, 6, 0, true, 2, true},
    {7, 6, 9, 3, 6, 0, true, 2, true},
    {7, 7, 10, 3, 6, 1, true, 2, true},
    {8, 7, 11, 3, 7, 0, true, 3, true},
    {8, 8, 12, 3, 7, 0, true, 3, true},
    {9, 8, 12, 3, 7, 1, true, 3, true},
    {10, 8, 13, 3, 7, 3, true, 1, true},
    {10, 8, 13, 3, 7, 3, true, 1, true},
    {10, 8, 13, 3, 7, 3, true, 1, true},
    {10, 8, 13, 3, 7, 3, true, 1, true},
};

// Expert: one tiling from the first stage, from 8 x 8 up to 10 x 10, the
// last three with twenty pieces, of which five are decoys. No piece holds a
// 2 x 2 square: boards of such pieces have tens to hundreds of times fewer
// tilings than boards of compact ones, so fifteen of them are proved unique
// on 10 x 10 in a fraction of a second, where compact ones take seconds to
// minutes. Their grades crowd between 10 and 16, and decoys raise them
// little, so most of a pack's time went on draws that did not rise above
// the stage before. The small stages, cheap to draw, keep the easiest of
// eight that rise, which leaves the large ones room to rise; and the third
// 10 x 10 stage from the end, which had to beat another of its own recipe,
// joins the closing set of twenty pieces.
constexpr Recipes expertRecipes = {
    {8, 8, 11, 3, 7, 0, true, 8, true},
    {9, 8, 12, 3, 7, 0, true, 8, true},
    {9, 8, 12, 3, 7, 1, true, 8, true},
    {9, 9, 13, 3, 7, 0, true, 8, true},
    {10, 9, 14, 3, 7, 0, true, 8, true},
    {10, 10, 15, 3, 7, 0, true, 3, true},
    {10, 10, 15, 3, 7, 1, true, 3, true},
    {10, 10, 15, 3, 7, 5, true, 1, true},
    {10, 10, 15, 3, 7, 5, true, 1, true},
    {10, 10, 15, 3, 7, 5, true, 1, true},
};

// What a level makes: its recipes, the normal pack's stage (counted from 1,
// for the same seed) its first stage must be harder than, how many of the
// largest stages close the pack as a set played in the order of their
// grades, and how many stages are drawn for one place before the pack gives
// up. A hard pack's grades crowd together from 8 x 8 on, so its stages may
// need more draws to rise.
struct LevelPlan {
    const Recipes& recipes;
    int32_t stageToBeat;
    int32_t tailLength;
    int32_t maxAttempts;
};

constexpr LevelPlan normalPlan = {normalRecipes, 0, 2, 16};
constexpr LevelPlan hardPlan = {hardRecipes, 6, 4, 48};
constexpr LevelPlan expertPlan = {expertRecipes, 8, 3, 48};

const LevelPlan& PlanOf(PackLevel level)
{
    switch (level) {
    case PackLevel::hard: return hardPlan;
    case PackLevel::expert: return expertPlan;
    case PackLevel::normal: break;
    }
    return normalPlan;
}

constexpr int32_t roundsPerStage = 30;  // rounds of search steps one unique stage may take

// The seed of one attempt at one stage: the pack's seed, the stage and the
// attempt mixed by the generator's own random numbers.
uint32_t AttemptSeed(uint32_t packSeed, PackLevel level, int32_t stage, int32_t attempt)
{
    SeededRandom mix((static_cast<uint64_t>(level) << 48) ^ (uint64_t{packSeed} << 16) ^
                     (static_cast<uint64_t>(stage) << 8) ^ static_cast<uint64_t>(attempt));
    return static_cast<uint32_t>(mix.next() >> 32);
}

// The grade as check prints it, in tenths: the rule that grades rise is
// about the figures a player sees. Read back digit by digit, whatever the locale.
int32_t GradeTenths(double grade)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", grade);
    int32_t tenths = 0;
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c >= '0' && *c <= '9') tenths = tenths * 10 + (*c - '0');
    }
    return tenths;
}

// One stage from a recipe and a seed, compiled and graded; false with error
// when none was made. With gradeStop above 0, a grade of that or more is only
// known to be so: gradeReached says when it was.
bool DrawStage(const PackOptions& pack, const StageRecipe& recipe, uint32_t seed, double gradeStop, PackStage& made,
               bool& gradeReached, std::string& error)
{
    GenerateOptions options;
    options.width = recipe.width;
    options.height = recipe.height;
    options.pieces = recipe.pieces;
    options.minCells = recipe.minCells;
    options.maxCells = recipe.maxCells;
    options.decoys = recipe.decoys;
    options.noSquares = recipe.noSquares;
    options.seed = seed;
    options.jobs = pack.jobs;
    // Only search steps may end a search, never the clock.
    options.timeLimit = 0;
    options.maxRounds = roundsPerStage;
    std::string text;
    if (recipe.unique) {
        UniqueReport report;
        if (!GenerateUniqueStage(options, text, report, error)) return false;
    } else if (!GenerateStageSource(options, text, error)) {
        return false;
    }
    StageSource source;
    if (!ParseStageSource(text, "generated", source, error)) return false;
    made.file = CompileStage(source);
    StageGrade measured = GradeStage(StagePuzzle(made.file), pack.jobs, gradeStop);
    made.grade = measured.grade;
    gradeReached = measured.reachedStop;
    if (gradeReached) return true;
    char grade[48];
    std::snprintf(grade, sizeof grade, "# Grade %.1f\n", made.grade);
    // The generator's first line says how the stage was drawn; the grade goes after its comments.
    size_t board = text.find("\n");
    while (board != std::string::npos && board + 1 < text.size() && text[board + 1] == '#') {
        board = text.find('\n', board + 1);
    }
    board = board == std::string::npos ? text.size() : board + 1;
    made.source = text.substr(0, board) + grade + text.substr(board);
    return true;
}

// Draws stage after stage of one recipe until it has the recipe's number of
// candidates whose grade is above above (and none of avoid), and keeps the
// easiest; false with error when none was found.
bool DrawRising(const PackOptions& options, int32_t stage, int32_t above, const std::vector<int32_t>& avoid,
                PackStage& best, int32_t& bestTenths, std::string& error)
{
    if (options.onStage) options.onStage(stage);
    const LevelPlan& plan = PlanOf(options.level);
    const StageRecipe& recipe = plan.recipes[stage];
    bestTenths = -1;
    int32_t rising = 0;
    for (int32_t attempt = 0; attempt < plan.maxAttempts && rising < recipe.candidates; ++attempt) {
        PackStage made;
        std::string why;
        // Once one has risen, a stage whose grade reaches that one's is not
        // kept, and its grading stops there; it still rises, as avoid is
        // empty where more than one is drawn.
        double gradeStop = bestTenths >= 0 && avoid.empty() ? bestTenths / 10.0 : 0;
        bool reached = false;
        if (!DrawStage(options, recipe, AttemptSeed(options.seed, options.level, stage, attempt), gradeStop, made,
                       reached, why)) {
            continue;
        }
        if (reached) {
            ++rising;
            continue;
        }
        int32_t tenths = GradeTenths(made.grade);
        if (recipe.unique && (tenths <= above || std::find(avoid.begin(), avoid.end(), tenths) != avoid.end())) continue;
        ++rising;
        if (bestTenths < 0 || tenths < bestTenths) {
            best = std::move(made);
            bestTenths = tenths;
        }
    }
    if (bestTenths >= 0) return true;
    char reason[160];
    std::snprintf(reason, sizeof reason, "pack %s: no stage %d %s found in %d tries",
                  PackName(options.level, options.seed).c_str(), stage + 1,
                  recipe.unique && above >= 0 ? "harder than the one before" : "of its size", plan.maxAttempts);
    error = reason;
    return false;
}

// The stage's source under its title.
void AddStage(StagePack& pack, const std::string& name, PackStage stage)
{
    char title[96];
    std::snprintf(title, sizeof title, "# Pack %s, stage %zu\n", name.c_str(), pack.stages.size() + 1);
    stage.source = title + stage.source;
    pack.stages.push_back(std::move(stage));
}
}  // namespace

bool MakeStagePack(const PackOptions& options, StagePack& pack, std::string& error)
{
    pack.seed = options.seed;
    pack.level = options.level;
    pack.stages.clear();
    std::string name = PackName(options.level, options.seed);
    const LevelPlan& plan = PlanOf(options.level);
    int32_t previous = -1;  // the last stage's grade in tenths, once the curve has begun
    if (plan.stageToBeat > 0) {
        // The normal pack's curve of the same seed, as far as the stage to beat, made quietly.
        PackOptions normal = options;
        normal.level = PackLevel::normal;
        normal.onStage = nullptr;
        for (int32_t stage = 0; stage < plan.stageToBeat; ++stage) {
            PackStage made;
            int32_t tenths = -1;
            if (!DrawRising(normal, stage, previous, {}, made, tenths, error)) return false;
            if (normalRecipes[stage].unique) previous = tenths;
        }
    }
    // The largest stages close the pack as a set: each is drawn above the
    // stage before them, with a grade none of the others has, and they are
    // played in the order of their grades. Their recipes differ less than
    // their grades do, and drawing each again until it beat the one before
    // would cost the most time of all.
    const int32_t tailStart = stageCount - plan.tailLength;
    for (int32_t stage = 0; stage < tailStart; ++stage) {
        PackStage made;
        int32_t tenths = -1;
        if (!DrawRising(options, stage, previous, {}, made, tenths, error)) return false;
        if (plan.recipes[stage].unique) previous = tenths;
        AddStage(pack, name, std::move(made));
    }
    std::vector<std::pair<int32_t, PackStage>> tail;
    std::vector<int32_t> tailTenths;
    for (int32_t stage = tailStart; stage < stageCount; ++stage) {
        PackStage made;
        int32_t tenths = -1;
        if (!DrawRising(options, stage, previous, tailTenths, made, tenths, error)) return false;
        tailTenths.push_back(tenths);
        tail.emplace_back(tenths, std::move(made));
    }
    std::stable_sort(tail.begin(), tail.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto& [tenths, made] : tail) AddStage(pack, name, std::move(made));
    return true;
}

const char* PackLevelName(PackLevel level)
{
    switch (level) {
    case PackLevel::hard: return "hard";
    case PackLevel::expert: return "expert";
    case PackLevel::normal: break;
    }
    return "normal";
}

std::string PackName(PackLevel level, uint32_t seed)
{
    std::string number = std::to_string(seed);
    if (level == PackLevel::normal) return number;
    return std::string(PackLevelName(level)).append("-").append(number);
}

bool ParsePackLevel(std::string_view text, PackLevel& level)
{
    for (PackLevel candidate : packLevels) {
        if (text == PackLevelName(candidate)) {
            level = candidate;
            return true;
        }
    }
    return false;
}

std::string WritePackText(const StagePack& pack)
{
    std::string text = "# Tessera stage pack " + PackName(pack.level, pack.seed) + "\n";
    text += "seed " + std::to_string(pack.seed) + "\n";
    // A normal pack's text stays as it was before there were levels.
    if (pack.level != PackLevel::normal) text += std::string("level ") + PackLevelName(pack.level) + "\n";
    text += "generator " + std::to_string(packGeneratorVersion) + "\n";
    // The release that wrote it, for whoever reads the pack; nothing reads it back.
    text.append("tessera ").append(TESSERA_VERSION).append("\n");
    for (size_t i = 0; i < pack.stages.size(); ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "\n== st%zu.dat\n", i);
        text += name + pack.stages[i].source;
    }
    return text;
}
