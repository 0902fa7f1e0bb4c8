// The tilings of small regions, each worked out once: every set of pieces that fills it, and in how many ways.
#pragma once

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "authoring/placement_buckets.h"
#include "authoring/region_check.h"
#include "support/cache_memory.h"

namespace tiling {
// On the board alone, the ways to fill a region of empty cells depend on
// the region and on which pieces are free, and near the end of a search the
// same few regions come back with many different sets of free pieces. So a
// small region is tiled once with every piece there is, and each set of
// pieces that fills it is kept with its number of tilings: a point whose
// region is known adds up the sets it has free, and has no search of its own.
// Regions are small enough for at most regionPieces pieces, and at most
// regionCells cells: larger ones have too many sets to be worth keeping.
constexpr int32_t regionCells = 25;
constexpr int32_t regionPieces = 5;
// What a thread keeps at most, in regions and in their ways: a long count
// starts afresh when it has more, and so stays within some tens of megabytes.
constexpr size_t maxRegions = size_t{1} << 18;
constexpr size_t maxWays = size_t{1} << 21;

// The most empty cells of a point that is counted from its region's tilings.
template <int W>
int32_t RegionLimit(const Table<W>& t)
{
    return std::min(regionCells, regionPieces * t.minArea);
}

template <int W>
struct RegionTilings {
    struct Way {
        uint64_t pieces;
        int64_t tilings;
    };
    // A region and where its ways lie in ways; empty slots are of an older epoch.
    struct Slot {
        Bits<W> region;
        uint32_t epoch = 0;
        uint32_t first = 0;
        uint32_t size = 0;
    };
    // Both tables grow to megabytes in a long count: their memory comes in huge pages where it can.
    std::vector<Slot, CacheAllocator<Slot>> slots;  // open-addressed, at most half full
    size_t mask = 0;
    size_t used = 0;
    uint32_t epoch = 0;
    std::vector<Way, CacheAllocator<Way>> ways;
    std::vector<Way> scratch;  // the ways of the regions being worked out, innermost last

    // Empties the cache for a search over another table, keeping its memory.
    void begin()
    {
        constexpr size_t firstSlots = size_t{1} << 12;
        if (slots.empty()) {
            slots.assign(firstSlots, {});
            mask = slots.size() - 1;
        }
        if (++epoch == 0) {
            for (Slot& slot : slots) slot.epoch = 0;
            epoch = 1;
        }
        used = 0;
        ways.clear();
    }

    // The region's slot, or the empty one where it would go.
    Slot* find(const Bits<W>& region)
    {
        for (size_t s = HashBits(region, 0) & mask;; s = (s + 1) & mask) {
            Slot& slot = slots[s];
            if (slot.epoch != epoch || slot.region == region) return &slot;
        }
    }

    void store(const Bits<W>& region, uint32_t first, uint32_t size)
    {
        if (2 * (used + 1) > slots.size()) {
            std::vector<Slot, CacheAllocator<Slot>> old = std::exchange(slots, decltype(slots)(slots.size() * 2));
            mask = slots.size() - 1;
            for (const Slot& slot : old) {
                if (slot.epoch == epoch) *find(slot.region) = slot;
            }
        }
        Slot* slot = find(region);
        if (slot->epoch != epoch) ++used;
        *slot = {region, epoch, first, size};
    }

    // The ways of region, each set of pieces once and in order: ways[first] .. ways[first + size - 1].
    // Each region worked out adds one to steps.
    std::pair<uint32_t, uint32_t> tilingsOf(const Bits<W>& region, const Table<W>& t, const CellBuckets& buckets,
                                           const BucketEntry<W>* entries, int64_t& steps)
    {
        const Slot* known = find(region);
        if (known->epoch == epoch) return {known->first, known->size};
        size_t base = scratch.size();
        if (!region.any()) {
            scratch.push_back({0, 1});
        } else {
            ++steps;
            Bits<W> filled = t.grid.without(region);
            int32_t c = FirstEmpty(filled | t.notBoard, 0, t.gridCells);
            size_t b = BucketOf<keyRunAlone>(buckets, filled, c);  // the board alone's buckets
            const int32_t* ranges = buckets.ranges.data() + b * static_cast<size_t>(buckets.pieceCount + 1);
            const BucketEntry<W>* end = entries + ranges[buckets.pieceCount];
            for (const BucketEntry<W>* e = entries + ranges[0]; e != end; ++e) {
                if (filled.collides(e->mask)) continue;
                Bits<W> rest = region.without(e->mask);
                // Most of what is left has a hole no piece fits: not worth a slot.
                if (t.minArea >= 2 && ClosedHoles(rest, t)) continue;
                auto [first, size] = tilingsOf(rest, t, buckets, entries, steps);
                for (uint32_t i = first; i < first + size; ++i) {
                    if ((ways[i].pieces & e->piece) != 0) continue;
                    scratch.push_back({ways[i].pieces | e->piece, ways[i].tilings});
                }
            }
            // Each set once, in order, with the tilings of all its ways.
            auto from = scratch.begin() + static_cast<std::ptrdiff_t>(base);
            std::sort(from, scratch.end(), [](const Way& x, const Way& y) { return x.pieces < y.pieces; });
            size_t kept = base;
            for (size_t i = base; i < scratch.size(); ++i) {
                if (kept > base && scratch[kept - 1].pieces == scratch[i].pieces) {
                    scratch[kept - 1].tilings += scratch[i].tilings;
                } else {
                    scratch[kept++] = scratch[i];
                }
            }
            scratch.resize(kept);
        }
        auto first = static_cast<uint32_t>(ways.size());
        auto size = static_cast<uint32_t>(scratch.size() - base);
        ways.insert(ways.end(), scratch.begin() + static_cast<std::ptrdiff_t>(base), scratch.end());
        scratch.resize(base);
        store(region, first, size);
        return {first, size};
    }

    // The tilings of region with some of the free pieces.
    int64_t count(const Bits<W>& region, uint64_t unused, const Table<W>& t, const CellBuckets& buckets,
                  const BucketEntry<W>* entries, int64_t& steps)
    {
        if (used > maxRegions || ways.size() > maxWays) begin();
        auto [first, size] = tilingsOf(region, t, buckets, entries, steps);
        const Way* from = ways.data() + first;
        const Way* to = from + size;
        int32_t area = 0;
        for (uint64_t free = unused; free != 0; free &= free - 1) {
            area += t.areas[static_cast<size_t>(__builtin_ctzll(free))];
        }
        if (area == region.count()) {
            // Every free piece is needed: only the set of them all counts.
            const Way* at = std::lower_bound(from, to, unused,
                                             [](const Way& way, uint64_t pieces) { return way.pieces < pieces; });
            return at != to && at->pieces == unused ? at->tilings : 0;
        }
        int64_t total = 0;
        for (const Way* way = from; way != to; ++way) {
            if ((way->pieces & ~unused) == 0) total += way->tilings;
        }
        return total;
    }
};
}  // namespace tiling
