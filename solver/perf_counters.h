#pragma once
// Processor cycles and items of the terminal kernels, per batch width, counted only while
// performance counters are switched on. Each thread counts into its own block.
#include <array>
#include <cstdint>
#include <string>

#include "solver/layout.h"

namespace qv {

enum class KernelKind { Showdown = 0, Fold = 1 };

struct PerfTotals {
    std::array<std::array<uint64_t, kMaxBatch + 1>, 2> cycles{};   // [kind][width]
    std::array<std::array<uint64_t, kMaxBatch + 1>, 2> items{};    // width x hands
    std::array<std::array<uint64_t, kMaxBatch + 1>, 2> calls{};
    std::array<std::array<uint64_t, 17>, 2> batchSizes{};          // terminals met together: 1..15, 16+
};

uint64_t readCycleCounter();
void recordKernelCall(KernelKind kind, int width, uint64_t cycles, uint64_t items);
void recordBatchSize(KernelKind kind, int terminals);
PerfTotals perfTotals();
void resetPerfCounters();
// The report of show_perf_counters.
std::string perfReport(const PerfTotals& totals);

}  // namespace qv
