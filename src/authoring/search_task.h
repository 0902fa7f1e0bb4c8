// A point of a tiling search to start from, and splitting the search into such tasks for the threads.
#pragma once

#include <cstdint>
#include <vector>

#include "authoring/placement_table.h"

namespace tiling {
// A point of the search: what is filled, which pieces are still free, the
// slack left, where to look for the first empty cell, and the placements
// chosen on the way there. check names the symmetries under which a solution
// must be the least of its images to count (see CountDistinct).
template <int W>
struct Task {
    Bits<W> filled;
    uint64_t unused = 0;
    int32_t budget = 0;
    int32_t from = 0;
    std::vector<int32_t> chosen;
    const std::vector<std::vector<int32_t>>* check = nullptr;
    int64_t weight = 1;  // solutions each one found here stands for
};

// Replaces tasks by their children, one level deeper, until there are
// enough for the threads; solutions met on the way are counted by the caller.
template <int W>
std::vector<Task<W>> Split(const Table<W>& t, std::vector<Task<W>> tasks, size_t wanted, std::vector<Task<W>>& done)
{
    for (int32_t level = 0; level < 3 && tasks.size() < wanted && !tasks.empty(); ++level) {
        std::vector<Task<W>> deeper;
        for (const Task<W>& task : tasks) {
            int32_t c = FirstEmpty(task.filled | t.notBoard, task.from, t.gridCells);
            if (c == t.gridCells) {
                done.push_back(task);
                continue;
            }
            for (int32_t k = t.group[static_cast<size_t>(c) * t.pieceCount];
                 k < t.group[static_cast<size_t>(c + 1) * t.pieceCount]; ++k) {
                if ((task.unused >> t.piece[k] & 1) == 0 || t.waste[k] > task.budget ||
                    task.filled.collides(t.masks[k])) {
                    continue;
                }
                Task<W> child = task;
                child.filled.add(t.masks[k]);
                child.unused &= ~(uint64_t{1} << t.piece[k]);
                child.budget -= t.waste[k];
                child.from = c + 1;
                child.chosen.push_back(k);
                deeper.push_back(std::move(child));
            }
        }
        tasks = std::move(deeper);
    }
    return tasks;
}
}  // namespace tiling
