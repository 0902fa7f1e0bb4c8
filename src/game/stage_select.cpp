// Stage select: set-up, hover and click, the slide-out of the chosen bar, easing and drawing.
#include "game/stage_select.h"

#include "draw/canvas.h"
#include "game/board_layout.h"
#include "game/game_fonts.h"
#include "game/game_frame.h"
#include "game/piece_outline.h"
#include "support/format_ring.h"
#include "support/input_snapshot.h"

Point menuEntries[stageCount];
int32_t chosenEntry = -1;
int32_t slideSpeed = 0;
int32_t hoverEntry = -1;
PieceShape entryShape;
Piece entryPiece;

namespace {
constexpr int32_t entryCellSize = 46;
constexpr int32_t labelInset = 16;  // an entry's label is as tall as its cell less this
static_assert(entryCellSize - labelInset == stageLabelHeight);
constexpr int32_t barCells = 6;
constexpr int32_t hoverBoxCells = 7;
constexpr int32_t hoverShift = 20;
constexpr int32_t firstEntryMargin = 10;
constexpr int32_t slideAcceleration = 10;
constexpr int32_t easingWeight = 4;
constexpr int32_t easingDivisor = 5;
constexpr char stageLabelFormat[] = "Stage %d";
constexpr char clearedText[] = "Cleared!";
constexpr char notClearedText[] = "Not Cleared";

struct Rgb {
    uint8_t red, green, blue;
};

struct EntryColors {
    Rgb bar;
    Rgb stageLabel;
    Rgb clearedLabel;
    Rgb notClearedLabel;
};

constexpr EntryColors normalColors = {{100, 100, 100}, {150, 150, 150}, {60, 60, 150}, {150, 60, 60}};
constexpr EntryColors highlightColors = {{200, 200, 200}, {50, 50, 50}, {0, 0, 255}, {255, 0, 0}};

int32_t EntryRestX()
{
    int32_t s = BoardLayout::cellSize;
    return canvasWidth - barCells * s - s / 2;
}

void SetColor(Canvas& canvas, Rgb color)
{
    canvas.setColor(color.red, color.green, color.blue);
}

void EaseEntry(int32_t i)
{
    int32_t target = EntryRestX() - (i == hoverEntry ? hoverShift : 0);
    menuEntries[i].x = (easingWeight * menuEntries[i].x + target) / easingDivisor;
}

void DrawEntry(Canvas& canvas, int32_t i)
{
    int32_t s = BoardLayout::cellSize;
    Point entry = menuEntries[i];
    bool highlighted = i == hoverEntry || i == chosenEntry;
    const EntryColors& colors = highlighted ? highlightColors : normalColors;
    int32_t labelTop = entry.y - stageLabelHeight / 2;

    SetColor(canvas, colors.bar);
    canvas.moveTo(entry.x, entry.y);
    DrawPieceOutline(entryPiece);

    SetColor(canvas, colors.stageLabel);
    canvas.moveTo(entry.x, labelTop);
    canvas.setFont(gameFace, stageLabelHeight);
    canvas.textOut(FormatText(stageLabelFormat, i + 1));

    canvas.moveTo(entry.x + barCells * s, labelTop);
    if (progress.clearedFlags[i] != 0) {
        SetColor(canvas, colors.clearedLabel);
        canvas.textOutRight(clearedText);
    } else {
        SetColor(canvas, colors.notClearedLabel);
        canvas.textOutRight(notClearedText);
    }
}
}  // namespace

void StartStageSelect()
{
    modeInitPending = false;
    entryShape.cellCount = 2;
    entryShape.cells[0] = {0, 0};
    entryShape.cells[1] = {barCells, 0};
    entryPiece.shape = &entryShape;
    entryPiece.edgeCount = 1;
    entryPiece.edges[0] = {0, 1};
    entryPiece.rotation = 0;
    BoardLayout::cellSize = entryCellSize;
    int32_t s = BoardLayout::cellSize;
    for (int32_t i = 0; i < stageCount; ++i) menuEntries[i] = {EntryRestX(), s / 2 + i * s + firstEntryMargin};
    if (chosenEntry != -1) menuEntries[chosenEntry].x = canvasWidth;
    chosenEntry = -1;
}

void UpdateStageSelect()
{
    int32_t s = BoardLayout::cellSize;
    if (chosenEntry == -1) {
        int32_t mx = inputSnapshot.mouseX;
        int32_t my = inputSnapshot.mouseY;
        for (int32_t i = 0; i < stageCount; ++i) {
            int32_t left = menuEntries[i].x - s / 2;
            int32_t top = menuEntries[i].y - s / 2;
            if (left < mx && mx < left + hoverBoxCells * s && top < my && my < top + s) {
                hoverEntry = i;
                break;
            }
        }
    }
    if (WasPressed(InputKey::LeftButton) && chosenEntry == -1 && hoverEntry != -1) {
        chosenEntry = hoverEntry;
        currentStage = hoverEntry;
        slideSpeed = 0;
    }
    if (chosenEntry != -1) {
        menuEntries[chosenEntry].x += slideSpeed;
        slideSpeed += slideAcceleration;
        if (menuEntries[chosenEntry].x > canvasWidth) {
            modeInitPending = true;
            gameMode = playMode;
        }
    }
}

void DrawStageSelect()
{
    currentCanvas = 0;
    Canvas& canvas = canvases[currentCanvas];
    canvas.setColor(0, 0, 0);
    canvas.clear();
    for (int32_t i = 0; i < stageCount; ++i) {
        if (chosenEntry == -1) EaseEntry(i);
        DrawEntry(canvas, i);
    }
}
