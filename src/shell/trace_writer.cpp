// WriteTraceLine: every field under the game's own names, so a trace reads like the game's state.
#include "shell/trace_writer.h"

#include "game/board_layout.h"
#include "game/celebration.h"
#include "game/data_files.h"
#include "game/game_frame.h"
#include "game/stage_play.h"
#include "game/stage_select.h"

namespace {
void WritePieces(std::FILE* file)
{
    std::fputs(",\"pieces\":[", file);
    int32_t count = gameMode == playMode ? CurrentStage().pieceCount : 0;
    for (int32_t i = 0; i < count; ++i) {
        const Piece& p = pieces[i];
        std::fprintf(file,
                     "%s{\"placed\":%d,\"cellX\":%d,\"cellY\":%d,\"rotation\":%d,\"savedRotation\":%d,"
                     "\"color\":[%d,%d,%d]}",
                     i == 0 ? "" : ",", p.placed, p.cellX, p.cellY, p.rotation, p.savedRotation, p.color[0],
                     p.color[1], p.color[2]);
    }
    std::fputc(']', file);
}

void WriteStageSelect(std::FILE* file)
{
    std::fputs(",\"entries\":[", file);
    for (int32_t i = 0; i < stageCount; ++i) {
        std::fprintf(file, "%s[%d,%d]", i == 0 ? "" : ",", menuEntries[i].x, menuEntries[i].y);
    }
    std::fprintf(file, "],\"chosenEntry\":%d,\"hoverEntry\":%d,\"slideSpeed\":%d", chosenEntry, hoverEntry,
                 slideSpeed);
}

void WriteCelebration(std::FILE* file)
{
    std::fprintf(file, ",\"celebrationFrame\":%d,\"celebrationHurry\":%d,\"banner\":[", celebrationFrame,
                 celebrationHurry);
    int32_t count = banner.has_value() ? banner->letterCount : 0;
    for (int32_t k = 0; k < count; ++k) {
        const Point* anchor = banner->letterPosition(k);
        std::fprintf(file, "%s[%d,%d]", k == 0 ? "" : ",", anchor->x, anchor->y);
    }
    std::fputc(']', file);
}
}  // namespace

void WriteTraceLine(std::FILE* file, int32_t frame)
{
    std::fprintf(file,
                 "{\"frame\":%d,\"gameMode\":%d,\"modeInitPending\":%d,\"currentStage\":%d,\"playState\":%d,"
                 "\"cellSize\":%d,\"columns\":%d,\"rows\":%d,\"originX\":%d,\"originY\":%d,"
                 "\"carriedPiece\":%d,\"hoveredPiece\":%d,\"chooserPiece\":%d,\"chooserHover\":%d,"
                 "\"grabOffsetX\":%d,\"grabOffsetY\":%d,\"clearedFlags\":[",
                 frame, gameMode, modeInitPending ? 1 : 0, currentStage, playState, BoardLayout::cellSize,
                 BoardLayout::columns, BoardLayout::rows, BoardLayout::originX, BoardLayout::originY, carriedPiece,
                 hoveredPiece, chooserPiece, chooserHover, grabOffsetX, grabOffsetY);
    for (int32_t i = 0; i < stageCount; ++i) std::fprintf(file, "%s%d", i == 0 ? "" : ",", progress.clearedFlags[i]);
    std::fputc(']', file);
    WritePieces(file);
    WriteStageSelect(file);
    WriteCelebration(file);
    std::fputs("}\n", file);
}
