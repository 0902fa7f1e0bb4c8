// Loading and checking stage files, loading and saving the progress file.
#include "game/data_files.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "game/board_layout.h"
#include "game/game_frame.h"
#include "game/piece.h"
#include "support/file_io.h"

StageFile stages[stageCount];
ProgressFile progress;

namespace {
// Writes why a file is refused, checked like printf; always false.
[[gnu::format(printf, 3, 4)]] bool Refuse(char* reason, size_t reasonSize, const char* format, ...)
{
    if (reason != nullptr && reasonSize > 0) {
        va_list values;
        va_start(values, format);
        std::vsnprintf(reason, reasonSize, format, values);
        va_end(values);
    }
    return false;
}
}  // namespace

int32_t MaxBoardHeight(int32_t boardWidth)
{
    if (boardWidth < 1 || boardWidth > maxBoardWidth) return 0;
    int32_t cellSize = playFieldWidth / (2 * boardWidth);
    return playFieldHeight / cellSize;
}

bool CheckStageLimits(const StageFile& stage, char* reason, size_t reasonSize)
{
    if (stage.boardWidth < 1 || stage.boardWidth > maxBoardWidth) {
        return Refuse(reason, reasonSize, "board width %d is outside 1..%d", stage.boardWidth, maxBoardWidth);
    }
    int32_t maxHeight = MaxBoardHeight(stage.boardWidth);
    if (stage.boardHeight < 1) return Refuse(reason, reasonSize, "board height %d is under 1", stage.boardHeight);
    if (stage.boardHeight > maxHeight) {
        return Refuse(reason, reasonSize, "board height %d is over %d for width %d", stage.boardHeight, maxHeight,
                      stage.boardWidth);
    }
    if (stage.pieceCount < 0 || stage.pieceCount > maxPieces) {
        return Refuse(reason, reasonSize, "piece count %d is outside 0..%d", stage.pieceCount, maxPieces);
    }
    for (int32_t i = 0; i < stage.pieceCount; ++i) {
        const PieceShape& shape = stage.shapes[i];
        if (shape.cellCount < 0 || shape.cellCount > maxShapeCells) {
            return Refuse(reason, reasonSize, "piece %d has %d cells, outside 0..%d", i, shape.cellCount,
                          maxShapeCells);
        }
        for (int32_t k = 0; k < shape.cellCount; ++k) {
            Point cell = shape.cells[k];
            if (cell.x < -maxCellCoordinate || cell.x > maxCellCoordinate || cell.y < -maxCellCoordinate ||
                cell.y > maxCellCoordinate) {
                return Refuse(reason, reasonSize, "piece %d cell %d at (%d, %d) is outside -%d..%d", i, k, cell.x,
                              cell.y, maxCellCoordinate, maxCellCoordinate);
            }
        }
        int32_t pairs = CountAdjacentCellPairs(shape);
        if (pairs > maxPieceEdges) {
            return Refuse(reason, reasonSize, "piece %d has %d adjacent cell pairs, more than %d", i, pairs,
                          maxPieceEdges);
        }
    }
    return true;
}

bool ReadStageFile(const char* name, StageFile& stage, char* reason, size_t reasonSize)
{
    constexpr auto stageBytes = static_cast<int32_t>(sizeof(StageFile));
    FileStatus status = QueryFileStatus(name);
    if (status.kind == FileKind::Missing) return Refuse(reason, reasonSize, "missing");
    if (status.kind == FileKind::NotRegular) return Refuse(reason, reasonSize, "not a regular file");
    if (status.kind == FileKind::Unreadable) return Refuse(reason, reasonSize, "cannot be read");
    if (status.size != stageBytes) {
        return Refuse(reason, reasonSize, "%lld bytes, not %d", static_cast<long long>(status.size), stageBytes);
    }
    // A file that shrank, or turned into something else, since the size query
    // delivers fewer bytes: it fails as a short file does.
    int32_t delivered = ReadFileBytes(name, &stage, stageBytes);
    if (delivered != stageBytes) return Refuse(reason, reasonSize, "%d bytes read, not %d", delivered, stageBytes);
    if (stage.magic != stageFileMagic) {
        return Refuse(reason, reasonSize, "magic %d is not the stage file magic %d", stage.magic, stageFileMagic);
    }
    return CheckStageLimits(stage, reason, reasonSize);
}

bool LoadStageFile(const char* name, StageFile& stage)
{
    return ReadStageFile(name, stage, nullptr, 0);
}

bool LoadProgressFile()
{
    bool ok = QueryFileSize(progressFileName) == static_cast<int32_t>(sizeof(ProgressFile));
    ok = ReadFileBytes(progressFileName, &progress, sizeof(ProgressFile)) > 0 && ok;
    ok = ok && progress.magic == progressFileMagic;
    if (!ok) std::memset(progress.clearedFlags, 0, sizeof progress.clearedFlags);
    return true;
}

bool TakeStoredClears(ProgressFile& into, const void* image, int32_t size)
{
    ProgressFile stored;
    if (size != static_cast<int32_t>(sizeof stored)) return false;
    std::memcpy(&stored, image, sizeof stored);
    if (stored.magic != progressFileMagic) return false;
    bool changed = false;
    for (int32_t i = 0; i < progressFlagCount; ++i) {
        if (into.clearedFlags[i] == 0 && stored.clearedFlags[i] != 0) {
            into.clearedFlags[i] = stored.clearedFlags[i];
            changed = true;
        }
    }
    return changed;
}

namespace {
// Another game in the same directory may have saved its own clears since this
// one loaded hist.dat: they join the game's flags before the save writes them.
// The read takes one byte more than a progress file, so a longer file is damaged.
void KeepStoredClears()
{
    uint8_t stored[sizeof(ProgressFile) + 1];
    TakeStoredClears(progress, stored, ReadFileBytes(progressFileName, stored, sizeof stored));
}
}  // namespace

bool SaveProgressFile()
{
    KeepStoredClears();
    progress.magic = progressFileMagic;
    return WriteFileBytes(progressFileName, &progress, sizeof(ProgressFile)) != 0;
}

void MarkStageCleared()
{
    progress.clearedFlags[currentStage] = 1;
    // The game goes on with the clear in memory; the next save tries again.
    if (!SaveProgressFile()) std::fprintf(stderr, "tessera: cannot save %s: %s\n", progressFileName, std::strerror(errno));
}
