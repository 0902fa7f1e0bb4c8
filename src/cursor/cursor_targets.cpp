// The cursor's targets from the game's layout: entry rows on the stage select screen, cell centres in play.
#include "cursor/cursor_targets.h"

#include "game/board_layout.h"
#include "game/data_files.h"
#include "game/game_frame.h"
#include "game/stage_play.h"
#include "game/stage_select.h"

namespace {
// A point inside an entry's hover box whatever its easing: three cells into its seven.
constexpr int32_t entryPointCells = 3;

int32_t Clamp(int32_t value, int32_t low, int32_t high)
{
    return value < low ? low : value > high ? high : value;
}

int64_t SquaredDistance(Point a, Point b)
{
    int64_t dx = a.x - b.x;
    int64_t dy = a.y - b.y;
    return dx * dx + dy * dy;
}

Point EntryPoint(int32_t entry)
{
    return {menuEntries[entry].x + entryPointCells * BoardLayout::cellSize, menuEntries[entry].y};
}

bool StepEntries(Point from, CursorStep step, Point& target)
{
    if (chosenEntry != -1) return false;
    int32_t nearest = 0;
    for (int32_t i = 1; i < stageCount; ++i) {
        if (SquaredDistance(from, EntryPoint(i)) < SquaredDistance(from, EntryPoint(nearest))) nearest = i;
    }
    int32_t along = step == CursorStep::Up ? -1 : step == CursorStep::Down ? 1 : 0;
    target = EntryPoint(Clamp(nearest + along, 0, stageCount - 1));
    return true;
}

// The grid index whose centre is nearest along one axis, clamped to the grid.
int32_t NearestIndex(int32_t pixel, int32_t origin, int32_t count)
{
    int32_t size = BoardLayout::cellSize;
    int32_t offset = pixel - origin;
    int32_t index = offset >= 0 ? (offset + size / 2) / size : -((-offset + size / 2) / size);
    return Clamp(index, 0, count - 1);
}

bool StepCells(Point from, CursorStep step, Point& target)
{
    if (BoardLayout::columns <= 0 || BoardLayout::rows <= 0) return false;
    int32_t column = NearestIndex(from.x, BoardLayout::originX, BoardLayout::columns);
    int32_t row = NearestIndex(from.y, BoardLayout::originY, BoardLayout::rows);
    column += step == CursorStep::Left ? -1 : step == CursorStep::Right ? 1 : 0;
    row += step == CursorStep::Up ? -1 : step == CursorStep::Down ? 1 : 0;
    column = Clamp(column, 0, BoardLayout::columns - 1);
    row = Clamp(row, 0, BoardLayout::rows - 1);
    target = {BoardLayout::originX + column * BoardLayout::cellSize, BoardLayout::originY + row * BoardLayout::cellSize};
    return true;
}
}  // namespace

bool SteppedTarget(Point from, CursorStep step, Point& target)
{
    if (dataLoadPending || modeInitPending) return false;
    if (gameMode == stageSelectMode) return StepEntries(from, step, target);
    if (gameMode == playMode) return StepCells(from, step, target);
    return false;
}

bool ChooserOpen()
{
    return !dataLoadPending && !modeInitPending && gameMode == playMode && playState == Choosing;
}

bool OfferedPieceTarget(Point& target)
{
    if (!ChooserOpen() || chooserPiece == -1) return false;
    target = chooserOrigin;  // the offered piece's origin cell is drawn centred here
    return true;
}
