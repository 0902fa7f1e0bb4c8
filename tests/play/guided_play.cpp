// FindTargets and GuidedButtons: a solution turned into each piece's turn and cell, then clicks towards them.
#include "guided_play.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "authoring/stage_solver.h"
#include "game/board_layout.h"
#include "game/piece.h"
#include "game/stage_play.h"
#include "support/input_snapshot.h"

namespace {
// A corner of the window that no piece on the board covers: a click there opens the chooser.
constexpr Point emptyCorner = {639, 479};

// True when the shape, turned r times with its origin cell at origin, lies on the given cells.
bool LiesOn(const PieceShape& shape, int32_t r, Point origin, const std::vector<Point>& cells)
{
    for (int32_t c = 0; c < shape.cellCount; ++c) {
        Point cell = shape.cells[c];
        RotateOffset(cell, r);
        Point at = {cell.x + origin.x, cell.y + origin.y};
        if (std::none_of(cells.begin(), cells.end(), [&](Point want) { return want.x == at.x && want.y == at.y; })) {
            return false;
        }
    }
    return true;
}

// The turn and origin cell that put a shape on the cells a solution gives it.
Target TargetFor(const PieceShape& shape, const std::vector<Point>& cells)
{
    Target found = {-1, {0, 0}};
    for (int32_t r = 0; r < 4; ++r) {
        Point first = shape.cells[0];
        RotateOffset(first, r);
        for (Point goal : cells) {
            Point origin = {goal.x - first.x, goal.y - first.y};
            if (LiesOn(shape, r, origin, cells)) found = {r, origin};
        }
    }
    return found;
}

Point CellCentre(Point cell)
{
    return {BoardLayout::originX + cell.x * BoardLayout::cellSize, BoardLayout::originY + cell.y * BoardLayout::cellSize};
}
}  // namespace

std::vector<Target> FindTargets(const StageFile& stage)
{
    SolveOptions options;
    options.limit = 1;
    options.report = 1;
    std::vector<PlacedPiece> first;
    options.onSolution = [&first](const std::vector<PlacedPiece>& solution) { first = solution; };
    SolvePuzzle(StagePuzzle(stage), options);
    std::vector<Target> targets(static_cast<size_t>(stage.pieceCount), Target{-1, {0, 0}});
    for (const PlacedPiece& placed : first) targets[placed.piece] = TargetFor(stage.shapes[placed.piece], placed.cells);
    return targets;
}

uint32_t GuidedButtons(const std::vector<Target>& targets, int64_t frame)
{
    if (frame % 2 == 1) return 0;
    auto wanted = [&](int32_t i) { return targets[i].rotation >= 0 && pieces[i].placed == 0; };
    if (playState == Idle) {
        RecordMouseMove(emptyCorner.x, emptyCorner.y);
        return InputKey::LeftButton;
    }
    if (playState == Choosing) {
        bool right = chooserPiece != -1 && wanted(chooserPiece);
        RecordMouseMove(chooserOrigin.x, chooserOrigin.y);
        return right || chooserPiece == -1 ? InputKey::LeftButton : InputKey::RightButton;
    }
    if (playState == Dragging) {
        const Target& target = targets[carriedPiece];
        if (target.rotation >= 0 && pieces[carriedPiece].rotation != target.rotation) return InputKey::RightButton;
        Point at = target.rotation >= 0 ? CellCentre(target.cell) : emptyCorner;
        RecordMouseMove(at.x - grabOffsetX, at.y - grabOffsetY);
        return InputKey::LeftButton;
    }
    return 0;
}

std::string EnterStageCopy(const std::string& stageDir, const char* pattern)
{
    std::string source = std::filesystem::absolute(stageDir);
    std::string copy = pattern;
    if (mkdtemp(copy.data()) == nullptr || chdir(copy.c_str()) != 0) return {};
    for (int i = 0; i < stageCount; ++i) {
        std::string name = "st" + std::to_string(i) + ".dat";
        std::filesystem::copy_file(source + "/" + name, name);
    }
    return copy;
}
