// Stage play: lays out the grid, deals the pieces and runs one PlayState handler per frame.
#include "game/stage_play.h"

#include <cstring>

#include "draw/canvas.h"
#include "game/board_layout.h"
#include "game/celebration.h"
#include "game/data_files.h"
#include "game/game_frame.h"
#include "support/input_snapshot.h"
#include "support/random.h"

int32_t playState = Idle;
int32_t carriedPiece = -1;
int32_t grabOffsetX = 0;
int32_t grabOffsetY = 0;
int32_t hoveredPiece = -1;
int32_t chooserPiece = -1;
uint8_t chooserHover = 0;
Piece pieces[maxPieces];

namespace {
constexpr int32_t colorBase = 100;
constexpr int32_t colorRange = 100;

using OccupancyGrid = uint8_t[maxGridColumns][maxGridRows];

// Division that rounds toward negative infinity, for positions left of or above the grid.
int32_t FloorDivide(int32_t value, int32_t divisor)
{
    int32_t quotient = value / divisor;
    if (value % divisor != 0 && (value < 0) != (divisor < 0)) --quotient;
    return quotient;
}

Point GridCellCentre(int32_t cellX, int32_t cellY)
{
    return {cellX * BoardLayout::cellSize + BoardLayout::originX, cellY * BoardLayout::cellSize + BoardLayout::originY};
}

// Grid cell whose centre is nearest to the pixel position along one axis.
int32_t NearestGridIndex(int32_t pixel, int32_t origin)
{
    int32_t size = BoardLayout::cellSize;
    return FloorDivide(pixel - origin + size / 2, size);
}

void CarryPiece(int32_t index, int32_t offsetX, int32_t offsetY)
{
    carriedPiece = index;
    grabOffsetX = offsetX;
    grabOffsetY = offsetY;
    pieces[index].savedRotation = pieces[index].rotation;
    playState = Dragging;
}

void UpdateIdle()
{
    if (!WasPressed(InputKey::LeftButton)) return;
    if (hoveredPiece != -1) {
        const Piece& piece = pieces[hoveredPiece];
        Point centre = GridCellCentre(piece.cellX, piece.cellY);
        CarryPiece(hoveredPiece, centre.x - inputSnapshot.mouseX, centre.y - inputSnapshot.mouseY);
        return;
    }
    chooserPiece = -1;
    for (int32_t i = CurrentStage().pieceCount - 1; i >= 0; --i) {
        if (pieces[i].placed == 0) {
            chooserPiece = i;
            break;
        }
    }
    playState = Choosing;
}

void UpdateDragging()
{
    if (WasPressed(InputKey::RightButton)) {
        Piece& piece = pieces[carriedPiece];
        piece.rotation = piece.rotation + 1 == 4 ? 0 : piece.rotation + 1;
        Point grab = {grabOffsetX, grabOffsetY};
        RotateOffset(grab, 1);
        grabOffsetX = grab.x;
        grabOffsetY = grab.y;
    }
    if (WasPressed(InputKey::LeftButton)) DropCarriedPiece();
}

void StepChooser()
{
    int32_t count = CurrentStage().pieceCount;
    int32_t n = chooserPiece;
    for (;;) {
        n = n + 1 == count ? 0 : n + 1;
        if (n == chooserPiece) return;
        if (pieces[n].placed == 0) {
            chooserPiece = n;
            return;
        }
    }
}

void UpdateChoosing()
{
    if (WasPressed(InputKey::RightButton) && chooserPiece != -1) StepChooser();
    chooserHover = 0;
    if (chooserPiece != -1) {
        const Piece& piece = pieces[chooserPiece];
        for (int32_t k = 0; k < piece.shape->cellCount; ++k) {
            Point offset = CellPixelOffset(piece, k);
            if (MouseInCell({chooserOrigin.x + offset.x, chooserOrigin.y + offset.y})) chooserHover = 1;
        }
    }
    if (!WasPressed(InputKey::LeftButton)) return;
    if (chooserHover == 1) {
        CarryPiece(chooserPiece, chooserOrigin.x - inputSnapshot.mouseX, chooserOrigin.y - inputSnapshot.mouseY);
    } else {
        playState = Idle;
    }
}
}  // namespace

const StageFile& CurrentStage()
{
    return stages[currentStage];
}

void StartStagePlay()
{
    modeInitPending = false;
    const StageFile& stage = CurrentStage();
    BoardLayout::columns = 2 * stage.boardWidth;
    BoardLayout::cellSize = playFieldWidth / BoardLayout::columns;
    BoardLayout::rows = playFieldHeight / BoardLayout::cellSize;
    BoardLayout::originX = (canvasWidth - (BoardLayout::columns - 1) * BoardLayout::cellSize) / 2;
    BoardLayout::originY = (canvasHeight - (BoardLayout::rows - 1) * BoardLayout::cellSize) / 2;
    playState = Idle;
    carriedPiece = -1;
    hoveredPiece = -1;
    for (int32_t i = 0; i < stage.pieceCount; ++i) {
        Piece& piece = pieces[i];
        piece.shape = &stage.shapes[i];
        BuildPieceEdges(piece);
        piece.rotation = NextRandom() % 4;
        piece.placed = 0;
        for (int32_t& component : piece.color) component = NextRandom() % colorRange + colorBase;
    }
    ParkBannerLetters();
}

void UpdateHoveredPiece()
{
    hoveredPiece = -1;
    for (int32_t i = 0; i < CurrentStage().pieceCount; ++i) {
        const Piece& piece = pieces[i];
        if (piece.placed != 1) continue;
        Point centre = GridCellCentre(piece.cellX, piece.cellY);
        for (int32_t k = 0; k < piece.shape->cellCount; ++k) {
            Point offset = CellPixelOffset(piece, k);
            if (MouseInCell({centre.x + offset.x, centre.y + offset.y})) {
                hoveredPiece = i;
                break;
            }
        }
    }
}

void UpdateStagePlay()
{
    switch (playState) {
    case Idle: UpdateIdle(); break;
    case Dragging: UpdateDragging(); break;
    case Choosing: UpdateChoosing(); break;
    case Cleared: UpdateCelebration(); break;
    default: break;
    }
}

void DropCarriedPiece()
{
    const StageFile& stage = CurrentStage();
    Piece& carried = pieces[carriedPiece];
    int32_t tx = NearestGridIndex(inputSnapshot.mouseX + grabOffsetX, BoardLayout::originX);
    int32_t ty = NearestGridIndex(inputSnapshot.mouseY + grabOffsetY, BoardLayout::originY);

    OccupancyGrid grid;
    std::memset(grid, 0, sizeof grid);
    for (int32_t i = 0; i < stage.pieceCount; ++i) {
        const Piece& piece = pieces[i];
        if (piece.placed != 1 || i == carriedPiece) continue;
        for (int32_t k = 0; k < piece.shape->cellCount; ++k) {
            Point cell = TurnedCell(piece, k);
            int32_t x = cell.x + piece.cellX;
            int32_t y = cell.y + piece.cellY;
            // Placed pieces lie inside the grid; the test only guards the table.
            if (x >= 0 && x < BoardLayout::columns && y >= 0 && y < BoardLayout::rows) grid[x][y] = 1;
        }
    }

    bool outOfGrid = false;
    bool overlaps = false;
    for (int32_t k = 0; k < carried.shape->cellCount; ++k) {
        Point cell = TurnedCell(carried, k);
        int32_t x = cell.x + tx;
        int32_t y = cell.y + ty;
        if (x < 0 || x >= BoardLayout::columns || y < 0 || y >= BoardLayout::rows) {
            outOfGrid = true;
        } else if (grid[x][y] != 0) {
            overlaps = true;
        } else {
            grid[x][y] = 1;
        }
    }

    bool accepted = !outOfGrid && !overlaps;
    if (accepted) {
        carried.cellX = tx;
        carried.cellY = ty;
        carried.placed = 1;
    } else {
        carried.rotation = carried.savedRotation;
    }
    carriedPiece = -1;

    bool covered = accepted;
    for (int32_t x = 0; covered && x < stage.boardWidth; ++x) {
        for (int32_t y = 0; covered && y < stage.boardHeight; ++y) covered = grid[x][y] != 0;
    }
    if (covered) {
        // The clear is kept the moment it is made, so closing the window
        // during "Perfect!" cannot lose it; the celebration's end saves again.
        MarkStageCleared();
        playState = Cleared;
        celebrationFrame = 0;
    } else {
        playState = Idle;
    }
}
