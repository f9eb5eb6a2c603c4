#pragma once
// What the automatic compression choice needs to know about the machine.
#include <cstdint>

namespace qv {

struct SystemMemory {
    uint64_t totalBytes = 0;
    int loadPercent = 0;  // share of physical memory in use
};

SystemMemory systemMemory();
int numaNodeCount();

}  // namespace qv
