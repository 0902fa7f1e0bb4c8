// Bitboards of up to five 64-bit words: the grid cells a search has filled, and the first empty one.
#pragma once

#include <algorithm>
#include <cstdint>

namespace tiling {
constexpr int32_t maxWords = 5;  // 20 x 14 grid cells, the largest grid of stage play

// Set bits of a word. Where the target has no population count instruction
// (x86-64's baseline lacks it) the builtin is a library call; this is inline.
inline int32_t PopCount(uint64_t x)
{
#if defined(__POPCNT__) || defined(__wasm__) || defined(__aarch64__)
    return __builtin_popcountll(x);
#else
    x -= x >> 1 & 0x5555555555555555u;
    x = (x & 0x3333333333333333u) + (x >> 2 & 0x3333333333333333u);
    x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0Fu;
    return static_cast<int32_t>(x * 0x0101010101010101u >> 56);
#endif
}

// Every bit of x moved into every bit of the result, for hashing: a
// product's low bits depend only on the low bits of what was multiplied.
inline uint64_t MixBits(uint64_t x)
{
    x = (x ^ x >> 33) * 0xFF51AFD7ED558CCDu;
    x = (x ^ x >> 33) * 0xC4CEB9FE1A85EC53u;
    return x ^ x >> 33;
}

template <int W>
struct Bits {
    uint64_t w[W] = {};

    bool collides(const Bits& other) const
    {
        uint64_t any = 0;
        for (int i = 0; i < W; ++i) any |= w[i] & other.w[i];
        return any != 0;
    }
    void add(const Bits& other)
    {
        for (int i = 0; i < W; ++i) w[i] |= other.w[i];
    }
    void set(int32_t bit) { w[bit >> 6] |= uint64_t{1} << (bit & 63); }
    bool any() const
    {
        uint64_t any = 0;
        for (int i = 0; i < W; ++i) any |= w[i];
        return any != 0;
    }
    int32_t count() const
    {
        int32_t total = 0;
        for (int i = 0; i < W; ++i) total += PopCount(w[i]);
        return total;
    }
    // The lowest set bit alone; the bits must not all be clear.
    Bits lowest() const
    {
        Bits result;
        for (int i = 0; i < W; ++i) {
            if (w[i] != 0) {
                result.w[i] = w[i] & (~w[i] + 1);
                break;
            }
        }
        return result;
    }
    // Bit i moves to i + k (up) or i - k (down), 0 < k < 64.
    Bits up(int32_t k) const
    {
        Bits result;
        for (int i = W - 1; i >= 0; --i) {
            result.w[i] = w[i] << k;
            if (i > 0) result.w[i] |= w[i - 1] >> (64 - k);
        }
        return result;
    }
    Bits down(int32_t k) const
    {
        Bits result;
        for (int i = 0; i < W; ++i) {
            result.w[i] = w[i] >> k;
            if (i + 1 < W) result.w[i] |= w[i + 1] << (64 - k);
        }
        return result;
    }
    Bits operator&(const Bits& other) const
    {
        Bits result;
        for (int i = 0; i < W; ++i) result.w[i] = w[i] & other.w[i];
        return result;
    }
    Bits operator|(const Bits& other) const
    {
        Bits result;
        for (int i = 0; i < W; ++i) result.w[i] = w[i] | other.w[i];
        return result;
    }
    Bits without(const Bits& other) const
    {
        Bits result;
        for (int i = 0; i < W; ++i) result.w[i] = w[i] & ~other.w[i];
        return result;
    }
    bool operator==(const Bits& other) const
    {
        uint64_t differ = 0;
        for (int i = 0; i < W; ++i) differ |= w[i] ^ other.w[i];
        return differ == 0;
    }
};

// A hash of a bitboard and a salt, every bit of both reaching every bit of it.
template <int W>
uint64_t HashBits(const Bits<W>& bits, uint64_t salt)
{
    uint64_t h = salt * 0x9E3779B97F4A7C15u;
    for (int i = 0; i < W; ++i) h = (h ^ bits.w[i]) * 0xD6E8FEB86659FD93u;
    return MixBits(h);
}

// The first clear bit at or after from, below limit; limit when there is none.
// Inlined: the search asks at every step, and a call costs more than the answer.
template <int W>
[[gnu::always_inline]] inline int32_t FirstEmpty(const Bits<W>& filled, int32_t from, int32_t limit)
{
    int32_t word = from >> 6;
    if (word >= W) return limit;
    uint64_t empty = ~filled.w[word] & ~uint64_t{0} << (from & 63);
    while (empty == 0) {
        if (++word == W) return limit;
        empty = ~filled.w[word];
    }
    return std::min(limit, word * 64 + __builtin_ctzll(empty));
}
}  // namespace tiling
