// Searches split by the board's symmetries: each piece's placements by orbit, and the tasks that count each orbit once.
#pragma once

#include <cstdint>
#include <deque>
#include <vector>

#include "authoring/search_task.h"

namespace tiling {
// The symmetries of the board, each as the map of board cell numbers.
std::vector<std::vector<int32_t>> BoardMaps(const Puzzle& puzzle, const CellOrder& order, bool mirror);

// One orbit of a piece's placements under the board's symmetries: the
// placement the search fixes, and the symmetries that map it onto itself.
struct FixedPlacement {
    int32_t entry;  // table entry
    std::vector<std::vector<int32_t>> stabiliser;  // without the identity
};

// The least placement of each orbit of piece's placements, with its stabiliser.
std::vector<FixedPlacement> OrbitRepresentatives(int32_t piece, const std::vector<Placement>& placements,
                                                 const std::vector<std::vector<int32_t>>& maps);

// The search split by the board's symmetries, over the pieces in active:
// tilings with a chosen piece P fixed to the least placement of each of its
// orbits, plus, when P may be left out, those without P. Counting up to
// symmetry, a tiling with P at a placement that no symmetry fixes meets that
// placement in exactly one of its images; where symmetries fix P's
// placement, a tiling counts when it is the least of its images under them.
// Counting every tiling, each placement of an orbit has as many tilings as
// the one searched, which stands for them all. With a root piece, P is that
// piece and the tilings without it are left out.
template <int W>
void CollectOrbitTasks(const Table<W>& t, const std::vector<Placement>& placements,
                       const std::vector<std::vector<int32_t>>& maps,
                       const std::vector<int32_t>& areas, uint64_t active, int32_t boardCells, bool distinct,
                       std::deque<std::vector<std::vector<int32_t>>>& keep, std::vector<Task<W>>& tasks,
                       int32_t root = -1)
{
    int64_t area = 0;
    for (size_t p = 0; p < areas.size(); ++p) {
        if ((active >> p & 1) != 0) area += areas[p];
    }
    if (active == 0 || area < boardCells) return;
    // P: the piece with the fewest orbits: each orbit is a search of its own, and a piece with few
    // placements (the X of the pentominoes) cuts the board early wherever it is fixed. Counting up to
    // symmetry, first the fewest self-symmetric placements: their searches check each solution against
    // its images, and so cannot share counts through the memo (see SubtreeMemo).
    int32_t best = -1;
    std::vector<FixedPlacement> bestFixed;
    size_t bestSymmetric = SIZE_MAX;
    for (size_t p = 0; p < areas.size(); ++p) {
        if ((active >> p & 1) == 0 || (root >= 0 && static_cast<int32_t>(p) != root)) continue;
        std::vector<FixedPlacement> fixed = OrbitRepresentatives(static_cast<int32_t>(p), placements, maps);
        size_t symmetric = static_cast<size_t>(std::count_if(
            fixed.begin(), fixed.end(), [](const FixedPlacement& f) { return !f.stabiliser.empty(); }));
        bool fewer = distinct ? symmetric < bestSymmetric ||
                                    (symmetric == bestSymmetric && fixed.size() < bestFixed.size())
                              : fixed.size() < bestFixed.size() ||
                                    (fixed.size() == bestFixed.size() && symmetric < bestSymmetric);
        if (best < 0 || fewer) {
            best = static_cast<int32_t>(p);
            bestFixed = std::move(fixed);
            bestSymmetric = symmetric;
        }
    }
    if (best < 0) return;
    uint64_t rest = active & ~(uint64_t{1} << best);
    for (FixedPlacement& fixed : bestFixed) {
        Task<W> task;
        task.filled = t.masks[fixed.entry];
        task.unused = rest;
        task.chosen = {fixed.entry};
        if (!distinct) {
            // Every placement of the orbit has as many tilings as this one.
            task.weight = static_cast<int64_t>(maps.size() / (fixed.stabiliser.size() + 1));
        } else if (!fixed.stabiliser.empty()) {
            keep.push_back(std::move(fixed.stabiliser));
            task.check = &keep.back();
        }
        tasks.push_back(std::move(task));
    }
    if (root < 0 && area > boardCells) {
        CollectOrbitTasks(t, placements, maps, areas, rest, boardCells, distinct, keep, tasks);
    }
}
}  // namespace tiling
