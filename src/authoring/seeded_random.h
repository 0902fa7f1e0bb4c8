// The authoring library's random numbers: SplitMix64 and every draw defined here, so a seed names the same stages
// on every machine, with every standard library, and in the browser.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

struct SeededRandom {
    uint64_t state = 0;

    explicit SeededRandom(uint64_t seed) : state(seed) {}

    // The next 64 bits: SplitMix64 (Steele, Lea and Flood), a Weyl sequence through a 64-bit mix.
    uint64_t next()
    {
        state += 0x9E3779B97F4A7C15u;
        uint64_t z = state;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
        return z ^ (z >> 31);
    }

    // A whole number from 0 to count - 1, each as likely: draws past the
    // last whole multiple of count are drawn again. count must be positive.
    uint64_t below(uint64_t count)
    {
        uint64_t limit = UINT64_MAX - UINT64_MAX % count;
        uint64_t drawn = next();
        while (drawn >= limit) drawn = next();
        return drawn % count;
    }

    // A whole number from low to high, both included.
    int32_t between(int32_t low, int32_t high)
    {
        return low + static_cast<int32_t>(below(static_cast<uint64_t>(static_cast<int64_t>(high) - low + 1)));
    }

    // Any one of the items, each as likely; the items must not be empty.
    template <typename T>
    const T& pick(const std::vector<T>& items)
    {
        return items[below(items.size())];
    }

    // The items in a random order, every order as likely (Fisher and Yates, from the back).
    template <typename T>
    void shuffle(std::vector<T>& items)
    {
        for (size_t i = items.size(); i > 1; --i) std::swap(items[i - 1], items[below(i)]);
    }
};
