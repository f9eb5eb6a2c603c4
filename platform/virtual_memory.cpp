#include "platform/virtual_memory.h"

#include <sys/mman.h>

#include <cstdint>

namespace qv {

void* reserveAddressSpace(size_t bytes) {
    void* base = mmap(nullptr, bytes, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    return base == MAP_FAILED ? nullptr : base;
}

bool commitAddressSpace(void* base, size_t bytes) { return mprotect(base, bytes, PROT_READ | PROT_WRITE) == 0; }

void discardPages(void* start, size_t bytes) {
    const uintptr_t page = 4096;
    const uintptr_t first = (reinterpret_cast<uintptr_t>(start) + page - 1) & ~(page - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(start) + bytes) & ~(page - 1);
    if (end > first) madvise(reinterpret_cast<void*>(first), end - first, MADV_DONTNEED);
}

bool releaseAddressSpace(void* base, size_t bytes) { return munmap(base, bytes) == 0; }

}  // namespace qv
