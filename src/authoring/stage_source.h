// The text form of a stage: the board drawn as its intended solution, then optional decoy pieces.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "game/data_files.h"
#include "support/point.h"

struct SourcePiece {
    char symbol;
    int32_t line;              // where the piece is first drawn
    bool onBoard;              // part of the intended solution, not a decoy
    std::vector<Point> cells;  // drawing positions, in reading order
};

struct StageSource {
    std::string title;
    int32_t boardWidth = 0;
    int32_t boardHeight = 0;
    std::vector<std::string> boardRows;
    std::vector<SourcePiece> pieces;  // in the order of their symbols' first appearance
};

// Parses and checks a source; on a fault sets error to "NAME:LINE: what is wrong".
bool ParseStageSource(const std::string& text, const char* name, StageSource& source, std::string& error);

// The stage file image: each piece's cells in reading order, measured from the
// cell nearest the piece's centroid (ties: the first in reading order).
StageFile CompileStage(const StageSource& source);

// The cell index that serves as a piece's origin.
int32_t OriginCellIndex(const std::vector<Point>& cells);

bool IsPieceSymbol(char c);
