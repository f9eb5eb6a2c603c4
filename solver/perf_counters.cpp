#include "solver/perf_counters.h"

#include <x86intrin.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <memory>
#include <mutex>
#include <vector>

namespace qv {

namespace {

struct Registry {
    std::mutex mutex;
    std::vector<std::shared_ptr<PerfTotals>> blocks;
};

Registry& registry() {
    static Registry r;
    return r;
}

PerfTotals& threadBlock() {
    static thread_local std::shared_ptr<PerfTotals> block = [] {
        auto b = std::make_shared<PerfTotals>();
        std::lock_guard<std::mutex> lock(registry().mutex);
        registry().blocks.push_back(b);
        return b;
    }();
    return *block;
}

void appendf(std::string& out, const char* format, auto... args) {
    char buffer[256];
    snprintf(buffer, sizeof buffer, format, args...);
    out += buffer;
}

// A counter is written by its own thread and read or reset by a command while the solve runs:
// relaxed atomic operations, which cost only while counting is switched on.
void add(uint64_t& counter, uint64_t amount) {
    std::atomic_ref<uint64_t>(counter).fetch_add(amount, std::memory_order_relaxed);
}

// The same counter of two blocks, for every counter.
template <typename Visit>
void eachCounter(PerfTotals& a, PerfTotals& b, const Visit& visit) {
    for (int k = 0; k < 2; ++k) {
        for (int w = 0; w <= kMaxBatch; ++w) {
            visit(a.cycles[k][w], b.cycles[k][w]);
            visit(a.items[k][w], b.items[k][w]);
            visit(a.calls[k][w], b.calls[k][w]);
        }
        for (size_t s = 0; s < a.batchSizes[k].size(); ++s) visit(a.batchSizes[k][s], b.batchSizes[k][s]);
    }
}

}  // namespace

uint64_t readCycleCounter() { return __rdtsc(); }

void recordKernelCall(KernelKind kind, int width, uint64_t cycles, uint64_t items) {
    PerfTotals& t = threadBlock();
    add(t.cycles[int(kind)][width], cycles);
    add(t.items[int(kind)][width], items);
    add(t.calls[int(kind)][width], 1);
}

void recordBatchSize(KernelKind kind, int terminals) {
    add(threadBlock().batchSizes[int(kind)][std::min(terminals, 16)], 1);
}

PerfTotals perfTotals() {
    PerfTotals sum;
    std::lock_guard<std::mutex> lock(registry().mutex);
    for (const auto& b : registry().blocks)
        eachCounter(sum, *b, [](uint64_t& total, uint64_t& counter) {
            total += std::atomic_ref<uint64_t>(counter).load(std::memory_order_relaxed);
        });
    return sum;
}

void resetPerfCounters() {
    std::lock_guard<std::mutex> lock(registry().mutex);
    for (const auto& b : registry().blocks)
        eachCounter(*b, *b, [](uint64_t& counter, uint64_t&) {
            std::atomic_ref<uint64_t>(counter).store(0, std::memory_order_relaxed);
        });
}

std::string perfReport(const PerfTotals& t) {
    // Share of terminal evaluations that ran in kernels of width 2 or more.
    uint64_t batched = 0, all = 0;
    double average[2] = {0, 0};
    for (int k = 0; k < 2; ++k) {
        uint64_t terminals = 0, calls = 0;
        for (int w = 1; w <= kMaxBatch; ++w) {
            terminals += t.calls[k][w] * uint64_t(w);
            calls += t.calls[k][w];
            if (w >= 2) batched += t.calls[k][w] * uint64_t(w);
        }
        all += terminals;
        average[k] = calls ? double(terminals) / double(calls) : 0.0;
    }
    std::string out;
    appendf(out, "Batcheval usage: %.2f%%\n \n", all ? 100.0 * double(batched) / double(all) : 0.0);
    appendf(out, "%-12s", "Batch size");
    for (int s = 1; s < 16; ++s) appendf(out, " %8d", s);
    out += "      16+\n";
    const char* names[2] = {"Showdown", "WWOSD"};
    for (int k = 0; k < 2; ++k) {
        appendf(out, "%-12s", names[k]);
        for (int s = 1; s <= 16; ++s) appendf(out, " %8llu", (unsigned long long)t.batchSizes[k][s]);
        out += "\n";
    }
    appendf(out, "Averages: %.2f %.2f\n", average[0], average[1]);
    for (int k = 0; k < 2; ++k) {
        appendf(out, "%s\n", names[k]);
        appendf(out, "%-12s", "Width");
        for (int w = 1; w <= kMaxBatch; ++w) appendf(out, " %12d", w);
        out += "\n";
        appendf(out, "%-12s", "Cycles");
        for (int w = 1; w <= kMaxBatch; ++w) appendf(out, " %12llu", (unsigned long long)t.cycles[k][w]);
        out += "\n";
        appendf(out, "%-12s", "Iterations");
        for (int w = 1; w <= kMaxBatch; ++w) appendf(out, " %12llu", (unsigned long long)t.items[k][w]);
        out += "\n";
        appendf(out, "%-12s", "C/I");
        for (int w = 1; w <= kMaxBatch; ++w)
            appendf(out, " %12.2f", t.items[k][w] ? double(t.cycles[k][w]) / double(t.items[k][w]) : 0.0);
        out += "\n";
    }
    return out;
}

}  // namespace qv
