// Cache memory where the system offers no huge pages to ask for (Windows, the browser): the C heap's zeroed blocks.
#include "support/cache_memory.h"

#include <cstdlib>

void* AllocateCacheMemory(size_t bytes)
{
    return std::calloc(1, bytes == 0 ? 1 : bytes);
}

void FreeCacheMemory(void* block, size_t)
{
    std::free(block);
}
