// Cache memory on Linux: large blocks mapped on their own, aligned to 2 MB and advised to use transparent huge pages.
#include "support/cache_memory.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>

namespace {
constexpr size_t hugePage = size_t{2} << 20;
// Below this a block comes from the heap: a mapping of its own would cost a
// system call and a whole huge page for a few pages' worth.
constexpr size_t mappedFrom = size_t{64} << 10;

size_t MappedSize(size_t bytes)
{
    return (bytes + hugePage - 1) / hugePage * hugePage;
}
}  // namespace

void* AllocateCacheMemory(size_t bytes)
{
    if (bytes < mappedFrom) return std::calloc(1, bytes == 0 ? 1 : bytes);
    size_t size = MappedSize(bytes);
    if (size < bytes || size + hugePage < size) return nullptr;
    // Mapped with a huge page's slack, then trimmed to an aligned block, so
    // that every 2 MB of it can be one page. Fresh mappings read as zero.
    void* mapped = mmap(nullptr, size + hugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) return nullptr;
    auto start = reinterpret_cast<uintptr_t>(mapped);
    uintptr_t aligned = (start + hugePage - 1) & ~(uintptr_t{hugePage} - 1);
    if (aligned > start) munmap(mapped, aligned - start);
    size_t tail = start + size + hugePage - (aligned + size);
    if (tail > 0) munmap(reinterpret_cast<void*>(aligned + size), tail);
    // Only advice: where huge pages are off, the block has ordinary ones.
    madvise(reinterpret_cast<void*>(aligned), size, MADV_HUGEPAGE);
    return reinterpret_cast<void*>(aligned);
}

void FreeCacheMemory(void* block, size_t bytes)
{
    if (block == nullptr) return;
    if (bytes < mappedFrom) {
        std::free(block);
    } else {
        munmap(block, MappedSize(bytes));
    }
}
