#pragma once
// The machine's physical memory as the memory reports and the automatic compression choice see it.
#include <cstdint>

namespace qv {

struct SystemMemory {
    uint64_t totalBytes = 0;
    int loadPercent = 0;  // share of physical memory in use, 0..100
};

// With QUORVANE_MEMORY_MB=N in the environment the machine looks like one of N MB with nothing
// else running: tests of the automatic level choice and of running out of memory use it.
SystemMemory systemMemory();

// Large blocks of memory that the program commits are counted against the machine's physical
// memory. A commit that would pass it is refused, as the system would have refused it had it not
// promised more memory than it has: the program then ends with its own message instead of being
// killed when the memory is first touched.
bool chargeMemory(int64_t bytes);
void releaseCharge(int64_t bytes);

}  // namespace qv
