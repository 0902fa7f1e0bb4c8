// The random-play soak: every shipped stage under random mouse moves and clicks, with the
// game's invariants checked after every frame. usage: tessera-soak FRAMES STAGE_DIR [SEED]
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>

#include "draw/canvas.h"
#include "game/board_layout.h"
#include "game/data_files.h"
#include "game/game_frame.h"
#include "game/stage_play.h"
#include "support/file_io.h"
#include "support/input_snapshot.h"
#include "support/random.h"
#include "../play/guided_play.h"

namespace {
constexpr int32_t selectFramesPerStage = 400;

uint32_t heldButtons = 0;
int64_t failures = 0;

void Fail(int64_t frame, const std::string& what)
{
    if (failures++ < 20) std::fprintf(stderr, "tessera-soak: frame %lld: %s\n", static_cast<long long>(frame), what.c_str());
}

// Placed pieces lie inside the grid and never overlap, the carried one included:
// it keeps its cell until it is dropped.
void CheckPieces(int64_t frame)
{
    if (gameMode != playMode || modeInitPending) return;
    uint8_t grid[maxGridColumns][maxGridRows] = {};
    const StageFile& stage = CurrentStage();
    for (int32_t i = 0; i < stage.pieceCount; ++i) {
        const Piece& piece = pieces[i];
        // A carried piece is out of the grid until it is dropped, and may be turning.
        if (piece.placed == 0 || (playState == Dragging && i == carriedPiece)) continue;
        if (piece.placed != 1) Fail(frame, "placed is neither 0 nor 1");
        for (int32_t k = 0; k < piece.shape->cellCount; ++k) {
            Point cell = TurnedCell(piece, k);
            int32_t x = cell.x + piece.cellX;
            int32_t y = cell.y + piece.cellY;
            if (x < 0 || y < 0 || x >= BoardLayout::columns || y >= BoardLayout::rows) {
                Fail(frame, "piece " + std::to_string(i) + " lies outside the grid");
                return;
            }
            if (grid[x][y]++ != 0) Fail(frame, "two pieces overlap at " + std::to_string(x) + "," + std::to_string(y));
        }
    }
}

bool AllowedPlayTransition(int32_t before, int32_t after)
{
    switch (before) {
    case Idle: return after == Idle || after == Dragging || after == Choosing;
    case Dragging: return after == Dragging || after == Idle || after == Cleared;
    case Choosing: return after == Choosing || after == Dragging || after == Idle;
    case Cleared: return after == Cleared;
    default: return false;
    }
}

void CheckProgressFile(int64_t frame)
{
    int32_t size = QueryFileSize(progressFileName);
    if (size == 0 && access(progressFileName, F_OK) != 0) return;
    ProgressFile saved{};
    if (size != 24 || ReadFileBytes(progressFileName, &saved, sizeof saved) != 24 || saved.magic != progressFileMagic) {
        Fail(frame, "hist.dat is not 24 valid bytes");
    }
}

std::vector<Target> targets[stageCount];

void FindAllTargets()
{
    for (int32_t k = 0; k < stageCount; ++k) targets[k] = FindTargets(stages[k]);
}

// Mostly clicks on grid cells and on the chooser, so that pieces do get placed.
void RandomInput(std::mt19937& random)
{
    std::uniform_int_distribution<int32_t> percent(0, 99);
    int32_t roll = percent(random);
    if (roll < 40) {
        int32_t column = std::uniform_int_distribution<int32_t>(-1, BoardLayout::columns)(random);
        int32_t row = std::uniform_int_distribution<int32_t>(-1, BoardLayout::rows)(random);
        RecordMouseMove(BoardLayout::originX + column * BoardLayout::cellSize,
                        BoardLayout::originY + row * BoardLayout::cellSize);
    } else if (roll < 55) {
        RecordMouseMove(320, 240);
    } else if (roll < 75) {
        RecordMouseMove(std::uniform_int_distribution<int32_t>(0, 639)(random),
                        std::uniform_int_distribution<int32_t>(0, 479)(random));
    }
    roll = percent(random);
    heldButtons = roll < 30 ? InputKey::LeftButton : roll < 42 ? InputKey::RightButton : roll < 45 ? InputKey::LeftButton | InputKey::RightButton : 0u;
}
}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: tessera-soak FRAMES STAGE_DIR [SEED]\n");
        return 2;
    }
    int64_t frames = std::atoll(argv[1]);
    std::string stageDir = std::filesystem::absolute(argv[2]);
    uint32_t seed = argc > 3 ? static_cast<uint32_t>(std::strtoul(argv[3], nullptr, 10)) : 1u;

    char pattern[] = "/tmp/tessera-soak-XXXXXX";
    if (mkdtemp(pattern) == nullptr || chdir(pattern) != 0) return 2;
    for (int i = 0; i < stageCount; ++i) {
        std::string name = "st" + std::to_string(i) + ".dat";
        std::filesystem::copy_file(stageDir + "/" + name, name);
    }

    canvases[0].create(640, 480);
    SeedRandom(seed);
    std::mt19937 random(seed);
    int64_t perStage = frames / stageCount;
    int64_t clears = 0;
    int32_t previousMode = gameMode;
    int32_t previousState = playState;
    for (int64_t frame = 0; frame < frames; ++frame) {
        int64_t inStage = frame % perStage;
        if (frame > 0 && inStage == 0 && frame / perStage < stageCount) {
            // The next stage's share begins on the stage select screen.
            gameMode = stageSelectMode;
            modeInitPending = true;
            previousMode = gameMode;
        }
        if (inStage == selectFramesPerStage && gameMode == stageSelectMode) {
            // Then straight into that stage, as a click on its bar would.
            currentStage = static_cast<int32_t>(frame / perStage) % stageCount;
            gameMode = playMode;
            modeInitPending = true;
            previousMode = gameMode;
        }
        bool starting = modeInitPending;
        if (frame == 1) FindAllTargets();
        // In play, nine frames in ten work towards a solution, the rest are noise.
        bool guided = frame > 1 && gameMode == playMode && playState != Cleared && !modeInitPending &&
                      std::uniform_int_distribution<int32_t>(0, 9)(random) != 0;
        if (guided) {
            heldButtons = GuidedButtons(targets[currentStage], frame);
        } else {
            RandomInput(random);
        }
        SetHeldKeys(heldButtons);
        TakeInputSnapshot();
        if (GameFrame() != 0) {
            Fail(frame, "a shipped stage failed to load");
            break;
        }
        if (gameMode != stageSelectMode && gameMode != playMode) Fail(frame, "gameMode out of range");
        if (playState < Idle || playState > Cleared) Fail(frame, "playState out of range");
        if (previousMode == playMode && gameMode == stageSelectMode) {
            if (playState != Cleared) Fail(frame, "play ended without a cleared board");
            ++clears;
        }
        bool playing = previousMode == playMode && gameMode == playMode;
        if (playing && !starting && !AllowedPlayTransition(previousState, playState)) {
            Fail(frame, "playState went from " + std::to_string(previousState) + " to " + std::to_string(playState));
        }
        CheckPieces(frame);
        CheckProgressFile(frame);
        previousMode = gameMode;
        previousState = playState;
    }
    std::printf("tessera-soak: %lld frames, %lld stages cleared, %lld faults\n", static_cast<long long>(frames),
                static_cast<long long>(clears), static_cast<long long>(failures));
    std::filesystem::remove_all(pattern);
    return failures == 0 ? 0 : 1;
}
