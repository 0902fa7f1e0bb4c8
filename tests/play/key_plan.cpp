// tessera-key-plan: the keys that choose and clear one stage from the stage list, one xdotool key name a line.
// usage: tessera-key-plan STAGE_DIR STAGE SEED MOUSE_X MOUSE_Y
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "cursor/key_cursor.h"
#include "draw/canvas.h"
#include "game/board_layout.h"
#include "game/data_files.h"
#include "game/game_frame.h"
#include "game/stage_play.h"
#include "game/stage_select.h"
#include "guided_play.h"
#include "support/input_snapshot.h"
#include "support/random.h"

namespace {
constexpr int32_t maxKeys = 2000;
constexpr int32_t settleFrames = 3;      // after a key, enough for its action and the chooser's follow
constexpr int32_t slideFrames = 40;      // a chosen stage slides out and play starts within this

void Frames(int32_t count)
{
    for (int32_t i = 0; i < count; ++i) {
        StepKeyCursor();
        TakeInputSnapshot();
        if (GameFrame() != 0) std::exit(1);
    }
}

// Types one key, as the window would get it, and lets the game take it.
void Key(const char* name, uint32_t control, int32_t frames = settleFrames)
{
    std::printf("%s\n", name);
    RecordCursorKey(control, true);
    RecordCursorKey(control, false);
    Frames(frames);
}

Point CursorCell()
{
    int32_t size = BoardLayout::cellSize;
    return {(keyCursor.position.x - BoardLayout::originX + size / 2) / size,
            (keyCursor.position.y - BoardLayout::originY + size / 2) / size};
}

bool OnCell(Point cell)
{
    int32_t size = BoardLayout::cellSize;
    return keyCursor.position.x == BoardLayout::originX + cell.x * size &&
           keyCursor.position.y == BoardLayout::originY + cell.y * size;
}

// Arrows to a grid cell, from wherever the cursor is.
void StepTo(Point cell)
{
    for (int32_t i = 0; i < 4 * maxGridColumns && !OnCell(cell); ++i) {
        Point at = CursorCell();
        if (at.x > cell.x) {
            Key("Left", CursorLeft);
        } else if (at.x < cell.x) {
            Key("Right", CursorRight);
        } else if (at.y > cell.y) {
            Key("Up", CursorUp);
        } else {
            Key("Down", CursorDown);
        }
    }
}
}  // namespace

int main(int argc, char** argv)
{
    if (argc != 6) {
        std::fprintf(stderr, "usage: tessera-key-plan STAGE_DIR STAGE SEED MOUSE_X MOUSE_Y\n");
        return 2;
    }
    int32_t stage = std::atoi(argv[2]);
    auto seed = static_cast<uint32_t>(std::strtoul(argv[3], nullptr, 10));
    if (stage < 0 || stage >= stageCount) return 2;
    std::string copy = EnterStageCopy(argv[1], "/tmp/tessera-key-plan-XXXXXX");
    if (copy.empty()) return 2;
    canvases[0].create(canvasWidth, canvasHeight);
    SeedRandom(seed);
    // Where the test leaves the mouse before the first key.
    int32_t mouseX = std::atoi(argv[4]);
    int32_t mouseY = std::atoi(argv[5]);
    RecordMouseMove(mouseX, mouseY);
    RecordMouseUsed(mouseX, mouseY);
    Frames(2);

    for (int32_t i = 0; i < stageCount && hoverEntry != stage; ++i) {
        if (hoverEntry < stage) {
            Key("Down", CursorDown);
        } else {
            Key("Up", CursorUp);
        }
    }
    Key("Return", CursorPress, slideFrames);
    std::vector<Target> targets = FindTargets(CurrentStage());
    auto wanted = [&](int32_t piece) { return targets[piece].rotation >= 0 && pieces[piece].placed == 0; };
    for (int32_t keys = 0; keys < maxKeys && playState != Cleared; ++keys) {
        if (playState == Idle) {
            StepTo({BoardLayout::columns - 1, 0});  // the parking space's corner: always empty
            Key("Return", CursorPress);
        } else if (playState == Choosing) {
            Key(chooserPiece != -1 && wanted(chooserPiece) ? "Return" : "r",
                chooserPiece != -1 && wanted(chooserPiece) ? CursorPress : CursorTurn);
        } else if (playState == Dragging) {
            const Target& target = targets[carriedPiece];
            if (pieces[carriedPiece].rotation != target.rotation) {
                Key("r", CursorTurn);
                continue;
            }
            // Taken at the chooser's centre, the piece's origin cell is where the cursor is.
            StepTo(target.cell);
            Key("Return", CursorPress);
        }
    }
    std::filesystem::remove_all(copy);
    if (playState != Cleared) {
        std::fprintf(stderr, "tessera-key-plan: stage %d was not cleared\n", stage + 1);
        return 1;
    }
    return 0;
}
