// A cache of subtree counts: the tilings that complete a search point depend only on what it has filled and which pieces are free.
#pragma once

#include <cstdint>
#include <memory>
#include <new>

#include "authoring/bitboard.h"
#include "support/cache_memory.h"

namespace tiling {
// Memory for one thread's cache, whatever the grid's size.
constexpr size_t memoBytes = size_t{4} << 20;

// Two points of the search that have filled the same cells with the same
// pieces have the same completions, however they got there. A slot keeps
// one such point and the number of its completions. (Under the game's rules
// that holds too, the cells filled off the board telling the slack spent,
// but there points seldom meet again: see ThreadMemo.)
template <int W>
struct MemoSlot {
    Bits<W> filled;
    uint64_t unused;
    int64_t completions;
    uint32_t epoch;  // the count the slot was written in; older slots, and zeroed ones, are empty
};

// Slots in pairs, the newer first: a point lives in the pair its hash names,
// and a new one pushes the older of the two out. A slot lost only costs the
// search it saved, so the cache may be smaller than the search.
template <int W>
struct SubtreeMemo {
    // Zeroed memory is a cache of empty slots, and untouched pages cost
    // nothing: a short count pays only for the pages its slots fall in (the
    // memory is kept for the next count, so a process pays for them once).
    struct Release {
        size_t bytes = 0;
        void operator()(MemoSlot<W>* block) const { FreeCacheMemory(block, bytes); }
    };
    std::unique_ptr<MemoSlot<W>[], Release> slots;
    size_t pairMask = 0;
    uint32_t epoch = 0;

    // Empties the cache for a new count, without touching its memory.
    void begin()
    {
        size_t pairs = pairMask + 1;
        if (!slots) {
            pairs = 1;
            while (pairs * 4 * sizeof(MemoSlot<W>) <= memoBytes) pairs *= 2;
            size_t bytes = pairs * 2 * sizeof(MemoSlot<W>);
            slots = std::unique_ptr<MemoSlot<W>[], Release>(static_cast<MemoSlot<W>*>(AllocateCacheMemory(bytes)),
                                                           Release{bytes});
            if (!slots) throw std::bad_alloc();
            pairMask = pairs - 1;
        }
        if (++epoch == 0) {
            // After 2^32 counts the epochs come round again: empty it for real.
            for (size_t s = 0; s < pairs * 2; ++s) slots[s].epoch = 0;
            epoch = 1;
        }
    }

    static uint64_t Hash(const Bits<W>& filled, uint64_t unused)
    {
        return HashBits(filled, unused);
    }

    MemoSlot<W>* pair(uint64_t hash) { return slots.get() + 2 * (hash & pairMask); }

    // The completions of the point, or -1 when the cache does not have it.
    int64_t find(MemoSlot<W>* at, const Bits<W>& filled, uint64_t unused) const
    {
        // Both slots compared in full, without a branch on each part: most finds miss.
        bool first = (at[0].epoch == epoch) & (at[0].unused == unused) & (at[0].filled == filled);
        bool second = (at[1].epoch == epoch) & (at[1].unused == unused) & (at[1].filled == filled);
        if (!(first | second)) return -1;
        return first ? at[0].completions : at[1].completions;
    }

    void store(MemoSlot<W>* at, const Bits<W>& filled, uint64_t unused, int64_t completions)
    {
        at[1] = at[0];
        at[0].filled = filled;
        at[0].unused = unused;
        at[0].completions = completions;
        at[0].epoch = epoch;
    }
};
}  // namespace tiling
