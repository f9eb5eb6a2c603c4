#include "platform/virtual_memory.h"

#include <sys/mman.h>

namespace qv {

namespace {

// Below this a region is too small for a huge page to pay off.
constexpr size_t kHugePageThreshold = size_t(2) << 20;

void* mapAnonymous(size_t bytes, int protection) {
    void* base = mmap(nullptr, bytes, protection, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (base == MAP_FAILED) return nullptr;
    if (bytes >= kHugePageThreshold) madvise(base, bytes, MADV_HUGEPAGE);  // advice only; failure is harmless
    return base;
}

}  // namespace

void* reserveAddressSpace(size_t bytes) { return mapAnonymous(bytes, PROT_NONE); }

bool commitAddressSpace(void* base, size_t bytes) { return mprotect(base, bytes, PROT_READ | PROT_WRITE) == 0; }

void* allocateCommitted(size_t bytes) { return mapAnonymous(bytes, PROT_READ | PROT_WRITE); }

bool releaseAddressSpace(void* base, size_t bytes) { return munmap(base, bytes) == 0; }

}  // namespace qv
