// BoardMaps and OrbitRepresentatives: the board's symmetries as cell maps, and one placement an orbit.
#include "authoring/symmetry_orbits.h"

#include <algorithm>

namespace tiling {
// The symmetries of the board, each as the map of board cell numbers.
std::vector<std::vector<int32_t>> BoardMaps(const Puzzle& puzzle, const CellOrder& order, bool mirror)
{
    int32_t w = puzzle.boardWidth;
    int32_t h = puzzle.boardHeight;
    std::vector<BoardMap> maps = BoardSymmetries(w, h, mirror);
    std::vector<std::vector<int32_t>> result;
    for (auto map : maps) {
        std::vector<int32_t> cells(static_cast<size_t>(order.gridCells));
        for (int32_t i = 0; i < order.gridCells; ++i) {
            Point to = map(order.cellAt[i], w, h);
            cells[i] = order.indexOf[to.y * order.columns + to.x];
        }
        result.push_back(std::move(cells));
    }
    return result;
}

std::vector<FixedPlacement> OrbitRepresentatives(int32_t piece, const std::vector<Placement>& placements,
                                                 const std::vector<std::vector<int32_t>>& maps)
{
    std::vector<FixedPlacement> result;
    std::vector<int32_t> image;  // one buffer for every image: this runs before every count
    for (size_t entry = 0; entry < placements.size(); ++entry) {
        const Placement& placed = placements[entry];
        if (placed.piece != piece) continue;
        bool least = true;
        FixedPlacement fixed{static_cast<int32_t>(entry), {}};
        for (size_t g = 1; g < maps.size() && least; ++g) {
            image.clear();
            for (int32_t cell : placed.cells) image.push_back(maps[g][cell]);
            std::sort(image.begin(), image.end());
            if (image == placed.cells) fixed.stabiliser.push_back(maps[g]);
            least = !std::lexicographical_compare(image.begin(), image.end(), placed.cells.begin(), placed.cells.end());
        }
        if (least) result.push_back(std::move(fixed));
    }
    return result;
}

}  // namespace tiling
