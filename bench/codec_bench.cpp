// The codec on arrays shaped like those of the packed stores, in bytes of 16-bit values per second
// (2 bytes a value) coded or decoded; `bytes/value` is the coded size. Arrays of 200 hands, as on
// the flop benchmark's river boards; shapes from a flop solve near 0.3% of the pot:
//
//   regrets       43% zeros, the rest spread up to a few thousand units (the plain precision)
//   coarse        the same in coarse units, at most 127
//   sums          65% zeros, the rest mostly small, at most 255
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "codec/array_codec.h"
#include "codec/bit_width_coder.h"
#include "codec/fse.h"
#include "codec/memory_streams.h"
#include "codec/store_value_coder.h"

namespace {

using namespace qv;

constexpr int kHands = 200, kArrays = 120;

enum Shape { Regrets, Coarse, Sums };

std::vector<uint16_t> arrays(Shape shape) {
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    std::vector<uint16_t> v(size_t(kHands) * kArrays);
    for (uint16_t& x : v) {
        const double r = u(rng);
        if (shape == Sums) x = r < 0.65 ? 0 : uint16_t(std::min(255.0, std::exp2(8 * u(rng) * u(rng))));
        else if (r < 0.43) x = 0;
        else x = uint16_t(std::exp2(12 * std::sqrt(u(rng))));
        if (shape == Coarse) x = uint16_t(x / 32);
    }
    return v;
}

void reportSize(benchmark::State& state, size_t coded, size_t values) {
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(values * 2));
    state.counters["bytes/value"] = double(coded) / double(values);
}

void storeValueCoder(benchmark::State& state) {
    const std::vector<uint16_t> v = arrays(Shape(state.range(0)));
    std::vector<uint8_t> coded(size_t(kArrays) * storeValueBound(kHands, 2));
    std::vector<uint16_t> back(v.size());
    const bool decoding = state.range(1);
    size_t size = 0;
    for (int a = 0; a < kArrays; ++a) size += encodeStoreValues16(v.data() + a * kHands, kHands, coded.data() + size);
    for (auto _ : state) {
        size_t at = 0;
        for (int a = 0; a < kArrays; ++a) {
            size_t used = 0;
            if (decoding) decodeStoreValues16(coded.data() + at, size - at, back.data() + a * kHands, kHands, used);
            else used = encodeStoreValues16(v.data() + a * kHands, kHands, coded.data() + at);
            at += used;
        }
        benchmark::DoNotOptimize(back.data());
        benchmark::ClobberMemory();
    }
    reportSize(state, size, v.size());
}
BENCHMARK(storeValueCoder)->ArgNames({"shape", "decode"})->ArgsProduct({{Regrets, Sums}, {0, 1}});

void bitWidthCoder(benchmark::State& state) {
    const std::vector<uint16_t> v = arrays(Shape(state.range(0)));
    std::vector<uint8_t> coded(size_t(kArrays) * bitWidthBound(kHands));
    std::vector<uint16_t> back(v.size());
    const bool decoding = state.range(1);
    size_t size = 0;
    for (int a = 0; a < kArrays; ++a) size += encodeBitWidths(v.data() + a * kHands, kHands, coded.data() + size);
    for (auto _ : state) {
        size_t at = 0;
        for (int a = 0; a < kArrays; ++a) {
            size_t used = 0;
            if (decoding) decodeBitWidths(coded.data() + at, size - at, back.data() + a * kHands, kHands, used);
            else used = encodeBitWidths(v.data() + a * kHands, kHands, coded.data() + at);
            at += used;
        }
        benchmark::DoNotOptimize(back.data());
        benchmark::ClobberMemory();
    }
    reportSize(state, size, v.size());
}
BENCHMARK(bitWidthCoder)->ArgNames({"shape", "decode"})->ArgsProduct({{Regrets, Coarse, Sums}, {0, 1}});

// A row of arrays through the entropy stream compressor, as a tree file codes its arrays.
void entropyStreams(benchmark::State& state) {
    const std::vector<uint16_t> v = arrays(Shape(state.range(0)));
    std::vector<uint16_t> back(v.size());
    StreamBuffers streams;
    auto encodeAll = [&] {
        streams.clear();
        auto encoder = createEncoder(EntropyStreamCompressor, StreamBuffers::append, &streams);
        for (int a = 0; a < kArrays; ++a) encoder->encode16(v.data() + a * kHands, kHands, nullptr);
    };
    encodeAll();
    const bool decoding = state.range(1);
    for (auto _ : state) {
        if (decoding) {
            StreamSpans spans;
            spans.setAll(streams);
            auto decoder = createDecoder(StreamSpans::read, &spans);
            for (int a = 0; a < kArrays; ++a) decoder->decode16(back.data() + a * kHands, kHands, nullptr);
        } else {
            encodeAll();
        }
        benchmark::DoNotOptimize(back.data());
        benchmark::ClobberMemory();
    }
    size_t coded = 0;
    for (int s = 0; s < kMaxStreams; ++s) coded += streams.stream(s).size();
    reportSize(state, coded, v.size());
}
BENCHMARK(entropyStreams)->ArgNames({"shape", "decode"})->ArgsProduct({{Sums, Coarse}, {0, 1}});

// The entropy coder alone on a full block of skewed bytes.
void fseBlock(benchmark::State& state) {
    std::mt19937 rng(3);
    std::geometric_distribution<int> geometric(0.2);
    std::vector<uint8_t> block(kFseMaxBlock);
    for (uint8_t& b : block) b = uint8_t(std::min(geometric(rng), 255));
    std::vector<uint8_t> coded(fseBound(block.size())), back(block.size());
    const size_t size = fseCompress(block.data(), block.size(), coded.data(), coded.size());
    const bool decoding = state.range(0);
    for (auto _ : state) {
        if (decoding) fseDecompress(coded.data(), size, back.data(), back.size());
        else fseCompress(block.data(), block.size(), coded.data(), coded.size());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(block.size()));
    state.counters["bytes/byte"] = double(size) / double(block.size());
}
BENCHMARK(fseBlock)->ArgName("decode")->Arg(0)->Arg(1);

}  // namespace
