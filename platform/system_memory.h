#pragma once
// The machine's physical memory as the memory reports and the automatic compression choice see it.
#include <cstdint>

namespace qv {

struct SystemMemory {
    uint64_t totalBytes = 0;
    int loadPercent = 0;  // share of physical memory in use, 0..100
};

SystemMemory systemMemory();

}  // namespace qv
