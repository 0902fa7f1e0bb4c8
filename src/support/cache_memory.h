// Zeroed memory for the counters' large caches: pages the system hands out as they are first touched, large ones where it can.
#pragma once

#include <cstddef>
#include <new>

// A block of bytes, all zero; nullptr when there is no memory. A block of
// some tens of kilobytes or more is its own mapping where the system allows,
// in 2 MB pages where it has them: a cache that fills megabytes then costs a
// few page faults in place of one for every 4 KB, which is most of the price
// of a short count in a fresh process.
void* AllocateCacheMemory(size_t bytes);

// Gives back a block of AllocateCacheMemory, with the size it was asked for.
void FreeCacheMemory(void* block, size_t bytes);

// An allocator for the caches' growing tables, over the functions above.
template <typename T>
struct CacheAllocator {
    using value_type = T;
    CacheAllocator() = default;
    template <typename U>
    CacheAllocator(const CacheAllocator<U>&) noexcept
    {
    }
    T* allocate(size_t n)
    {
        if (n > static_cast<size_t>(-1) / sizeof(T)) throw std::bad_alloc();
        void* block = AllocateCacheMemory(n * sizeof(T));
        if (block == nullptr) throw std::bad_alloc();
        return static_cast<T*>(block);
    }
    void deallocate(T* block, size_t n) noexcept { FreeCacheMemory(block, n * sizeof(T)); }
    template <typename U>
    bool operator==(const CacheAllocator<U>&) const noexcept
    {
        return true;
    }
};
