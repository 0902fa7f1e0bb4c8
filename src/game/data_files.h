// The stage and progress file records, laid out in memory exactly as on disk, and their loaders.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

#include "support/point.h"

constexpr int32_t stageFileMagic = 1245985;    // 0x130321
constexpr int32_t progressFileMagic = 1249206; // 0x130FB6
constexpr int32_t stageCount = 10;
constexpr int32_t maxPieces = 50;
constexpr int32_t maxShapeCells = 40;
constexpr int32_t maxPieceEdges = 60;
constexpr int32_t progressFlagCount = 20;

// Every board and piece must keep within these so that grid and pixel sums
// stay far from 32-bit overflow and inside the fixed tables.
constexpr int32_t maxBoardWidth = 10;
constexpr int32_t maxCellCoordinate = 1000;

constexpr char stageFileNameFormat[] = "st%d.dat";
constexpr char progressFileName[] = "hist.dat";

struct PieceShape {
    int32_t cellCount;
    Point cells[maxShapeCells];
};

struct StageFile {
    int32_t magic;
    int32_t boardWidth;
    int32_t boardHeight;
    int32_t pieceCount;
    PieceShape shapes[maxPieces];
};

struct ProgressFile {
    int32_t magic;
    uint8_t clearedFlags[progressFlagCount];
};

static_assert(std::endian::native == std::endian::little, "the data files are little-endian images");
static_assert(sizeof(PieceShape) == 324 && offsetof(PieceShape, cells) == 4);
static_assert(sizeof(StageFile) == 16216 && offsetof(StageFile, shapes) == 16);
static_assert(sizeof(ProgressFile) == 24 && offsetof(ProgressFile, clearedFlags) == 4);

extern StageFile stages[stageCount];
extern ProgressFile progress;

// The tallest board that the play grid of a board this wide can hold.
int32_t MaxBoardHeight(int32_t boardWidth);

// Checks a stage against the game's limits. On a fault writes one line saying
// what is wrong into reason (when given) and returns false.
bool CheckStageLimits(const StageFile& stage, char* reason, size_t reasonSize);

// Reads a stage file and checks its size, magic and limits; on a fault
// writes what is wrong into reason (when given) and returns false.
bool ReadStageFile(const char* name, StageFile& stage, char* reason, size_t reasonSize);
bool LoadStageFile(const char* name, StageFile& stage);
bool LoadProgressFile();
// Sets in into every cleared flag that a stored progress file image holds, when
// the image is a valid one (exactly a progress file's size, with its magic); a
// damaged image changes nothing. Returns whether any flag was newly set.
bool TakeStoredClears(ProgressFile& into, const void* image, int32_t size);
// Writes progress to hist.dat, first taking in every clear a valid stored
// hist.dat holds (another game may have saved it since this one loaded).
bool SaveProgressFile();

// Sets the current stage's cleared flag to 1 and saves the progress file; a
// failed save is said in one line on stderr.
void MarkStageCleared();
