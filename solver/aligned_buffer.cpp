#include "solver/aligned_buffer.h"

#include <sys/mman.h>
#include <tbb/scalable_allocator.h>

#include <cstdlib>
#include <cstring>

#include "platform/fatal_exit.h"
#include "platform/system_memory.h"
#include "solver/layout.h"

namespace qv {

namespace {

// Above this size whole pages are mapped: they arrive zeroed and cost nothing until written.
constexpr size_t kMapThreshold = size_t(1) << 20;

[[noreturn]] void outOfMemory() { fatalExit("out of memory\n"); }

}  // namespace

void* allocateZeroed(size_t bytes, Paging paging, bool& mapped) {
    if (bytes >= kMapThreshold) {
        if (!chargeMemory(int64_t(bytes))) outOfMemory();
        void* pointer = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
        if (pointer == MAP_FAILED) outOfMemory();
        // Stores are streamed once per iteration: 2 MB pages cut the TLB misses of those sweeps and
        // turn the first iteration's page faults (one per 4 KB of store) into a few hundred.
        if (paging == Paging::Huge) madvise(pointer, bytes, MADV_HUGEPAGE);
        mapped = true;
        return pointer;
    }
#if defined(__SANITIZE_ADDRESS__)
    // AddressSanitizer watches the C library's heap only: an overflow of a store in the scalable
    // allocator's heap would surface later as a crash inside it, far from its cause.
    void* pointer = std::aligned_alloc(kVectorAlign, (bytes + kVectorAlign - 1) / kVectorAlign * kVectorAlign);
#else
    void* pointer = scalable_aligned_malloc(bytes, kVectorAlign);
#endif
    if (!pointer) outOfMemory();
    std::memset(pointer, 0, bytes);
    mapped = false;
    return pointer;
}

void releaseZeroed(void* pointer, size_t bytes, bool mapped) {
    if (mapped) {
        munmap(pointer, bytes);
        releaseCharge(int64_t(bytes));
    } else
#if defined(__SANITIZE_ADDRESS__)
        std::free(pointer);
#else
        scalable_aligned_free(pointer);
#endif
}

}  // namespace qv
