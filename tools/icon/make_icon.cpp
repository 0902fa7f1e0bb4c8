// tessera-icon: draws the game's icon, a piece on a board, with the game's own canvas and outline code.
#include <cstdio>
#include <cstring>
#include <string>

#include "draw/canvas.h"
#include "draw/png_export.h"
#include "game/board_layout.h"
#include "game/piece.h"
#include "game/piece_outline.h"
#include "support/parse_number.h"
#include "support/user_output.h"

namespace {
constexpr char usage[] = "usage: tessera-icon SIZE OUT.png\n       tessera-icon --svg OUT.svg\n";
constexpr int32_t boardCells = 3;          // a 3 x 3 board
constexpr int32_t drawnSize = 512;         // PNGs are drawn this large or larger, then averaged down
constexpr int32_t svgSize = 256;
constexpr int32_t cellGap = 1;             // the black line between cells, as in play, at 1/64 of a cell
struct Rgb {
    uint8_t red, green, blue;
};
constexpr Rgb boardColour = {100, 80, 80};  // the board cells of the play field
constexpr Rgb pieceColour = {200, 120, 60};
// A T tetromino whose origin is the centre cell of the board's top row.
constexpr Point pieceCells[] = {{0, 0}, {-1, 0}, {1, 0}, {0, 1}};
constexpr int32_t pieceCellCount = 4;

PieceShape IconShape()
{
    PieceShape shape{};
    shape.cellCount = pieceCellCount;
    for (int32_t k = 0; k < pieceCellCount; ++k) shape.cells[k] = pieceCells[k];
    return shape;
}

// The icon at side length size * factor on canvas 0: cells of size / 3, the piece's rim and core.
void DrawIcon(int32_t side)
{
    currentCanvas = 0;
    Canvas& canvas = canvases[0];
    canvas.create(side, side);
    int32_t cell = side / boardCells;
    int32_t margin = (side - cell * boardCells) / 2;
    int32_t gap = std::max(cellGap, cell / 64);
    canvas.setColor(0, 0, 0);
    canvas.clear();
    canvas.setColor(boardColour.red, boardColour.green, boardColour.blue);
    for (int32_t i = 0; i < boardCells; ++i) {
        for (int32_t j = 0; j < boardCells; ++j) {
            int32_t left = margin + i * cell;
            int32_t top = margin + j * cell;
            canvas.rectangle(left + gap, top + gap, left + cell - gap, top + cell - gap);
        }
    }
    static PieceShape shape = IconShape();
    Piece piece{};
    piece.shape = &shape;
    BuildPieceEdges(piece);
    BoardLayout::cellSize = cell;
    canvas.moveTo(margin + cell + cell / 2, margin + cell / 2);
    canvas.setColor(pieceColour.red, pieceColour.green, pieceColour.blue);
    DrawPieceOutline(piece);
}

// Averages factor x factor blocks of canvas 0 into a canvas of size x size.
void AverageDown(Canvas& small, int32_t size, int32_t factor)
{
    small.create(size, size);
    const Canvas& big = canvases[0];
    for (int32_t y = 0; y < size; ++y) {
        for (int32_t x = 0; x < size; ++x) {
            int32_t sums[3] = {0, 0, 0};
            for (int32_t dy = 0; dy < factor; ++dy) {
                for (int32_t dx = 0; dx < factor; ++dx) {
                    const uint8_t* p = big.pixelAddress(x * factor + dx, y * factor + dy);
                    for (int32_t c = 0; c < 3; ++c) sums[c] += p[c];
                }
            }
            uint8_t* q = small.pixelAddress(x, y);
            for (int32_t c = 0; c < 3; ++c) q[c] = static_cast<uint8_t>((sums[c] + factor * factor / 2) / (factor * factor));
        }
    }
}

// The same picture as lines and rectangles: round-capped strokes of the
// outline's two widths over the centres of adjacent cells.
bool WriteSvg(const char* path)
{
    UserOutput file;
    if (!OpenUserOutput(file, path)) return false;
    std::FILE* out = file.stream;
    int32_t cell = svgSize / boardCells;
    int32_t margin = (svgSize - cell * boardCells) / 2;
    std::fprintf(out, "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%d\" height=\"%d\" viewBox=\"0 0 %d %d\">\n",
                 svgSize, svgSize, svgSize, svgSize);
    std::fprintf(out, "  <rect width=\"%d\" height=\"%d\" fill=\"#000\"/>\n", svgSize, svgSize);
    for (int32_t i = 0; i < boardCells; ++i) {
        for (int32_t j = 0; j < boardCells; ++j) {
            std::fprintf(out, "  <rect x=\"%d\" y=\"%d\" width=\"%d\" height=\"%d\" fill=\"#%02x%02x%02x\"/>\n",
                         margin + i * cell + cellGap, margin + j * cell + cellGap, cell - 2 * cellGap,
                         cell - 2 * cellGap, boardColour.red, boardColour.green, boardColour.blue);
        }
    }
    static PieceShape shape = IconShape();
    Piece piece{};
    piece.shape = &shape;
    BuildPieceEdges(piece);
    BoardLayout::cellSize = cell;
    int32_t originX = margin + cell + cell / 2;
    int32_t originY = margin + cell / 2;
    for (int32_t pass = 0; pass < 2; ++pass) {
        int32_t width = cell - 8 * (pass + 1);
        int32_t lift = 20 * pass;
        std::fprintf(out, "  <g stroke=\"#%02x%02x%02x\" stroke-width=\"%d\" stroke-linecap=\"round\">\n",
                     (pieceColour.red + lift) % 256, (pieceColour.green + lift) % 256, (pieceColour.blue + lift) % 256,
                     width);
        for (int32_t k = 0; k < piece.edgeCount; ++k) {
            Point a = CellPixelOffset(piece, piece.edges[k].first);
            Point b = CellPixelOffset(piece, piece.edges[k].second);
            std::fprintf(out, "    <line x1=\"%d\" y1=\"%d\" x2=\"%d\" y2=\"%d\"/>\n", originX + a.x, originY + a.y,
                         originX + b.x, originY + b.y);
        }
        std::fprintf(out, "  </g>\n");
    }
    std::fprintf(out, "</svg>\n");
    return CloseUserOutput(file);
}
}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fputs(usage, stderr);
        return 2;
    }
    if (std::strcmp(argv[1], "--svg") == 0) {
        if (WriteSvg(argv[2])) return 0;
        std::fprintf(stderr, "tessera-icon: cannot write %s: %s\n", argv[2], std::strerror(errno));
        return 1;
    }
    int64_t size = 0;
    if (!ParseNumber(argv[1], 16, 1024, size)) {
        std::fprintf(stderr, "tessera-icon: SIZE must be a number from 16 to 1024\n%s", usage);
        return 2;
    }
    auto side = static_cast<int32_t>(size);
    int32_t factor = std::max(1, (drawnSize + side - 1) / side);
    DrawIcon(side * factor);
    static Canvas small;
    AverageDown(small, side, factor);
    if (!WriteCanvasPng(small, argv[2])) {
        std::fprintf(stderr, "tessera-icon: cannot write %s: %s\n", argv[2], std::strerror(errno));
        return 1;
    }
    return 0;
}
