// The machine's streaming memory bandwidth, the ceiling for an iteration that sweeps every store
// once: a plain copy and a triad (a = b + s c) over arrays far larger than the caches. Bytes per
// second count every byte read and written. Compare with the store bytes one solver iteration
// touches divided by its time.
#include <benchmark/benchmark.h>

#include <cstring>

#include "solver/aligned_buffer.h"

namespace {

using namespace qv;

constexpr size_t kFloats = size_t(64) << 20;  // 256 MB per array

void streamingCopy(benchmark::State& state) {
    AlignedFloats from(kFloats), to(kFloats);
    for (size_t i = 0; i < kFloats; ++i) from[i] = float(i & 1023);
    std::memset(to.data(), 0, to.bytes());
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), from.bytes());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(2 * from.bytes()));
}
BENCHMARK(streamingCopy)->Unit(benchmark::kMillisecond)->MinTime(1.0);

void streamingTriad(benchmark::State& state) {
    AlignedFloats a(kFloats), b(kFloats), c(kFloats);
    for (size_t i = 0; i < kFloats; ++i) b[i] = c[i] = float(i & 1023);
    std::memset(a.data(), 0, a.bytes());
    const float s = 0.5f;
    for (auto _ : state) {
        float* out = a.data();
        const float* x = b.data();
        const float* y = c.data();
        for (size_t i = 0; i < kFloats; ++i) out[i] = x[i] + s * y[i];
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(3 * a.bytes()));
}
BENCHMARK(streamingTriad)->Unit(benchmark::kMillisecond)->MinTime(1.0);

}  // namespace
