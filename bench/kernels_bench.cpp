// The solver's per-hand kernels on their own, in hands per second: terminal evaluation at each
// batch width, and the regret-matching, regret-update and accumulation loops of 16-bit records.
// Sizes are those of the flop benchmark's river states (about 240 and 180 hands).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <vector>

#include "cards/card_tables.h"
#include "cards/showdown_value.h"
#include "solver/terminal_kernels.h"
#include "solver/vector_ops.h"

namespace {

using namespace qv;

struct KernelInput {
    std::array<HandList, 2> hands;
    CardMask board = 0;
    ShowdownTable table;
    std::vector<std::vector<float>> reach, values;
};

// `zeroPercent` of the opponent's hands carry no reach in any lane, as hands that left the line
// earlier do in a solve.
KernelInput makeInput(int width, int zeroPercent = 0) {
    buildCardTables();
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    KernelInput in;
    in.board = cardBit(0) | cardBit(14) | cardBit(28) | cardBit(42) | cardBit(9);
    std::array<std::vector<double>, 2> ranges;
    for (int p = 0; p < 2; ++p) {
        ranges[p].assign(kComboCount, 0.0);
        for (double& w : ranges[p]) w = u(rng) < (p == 0 ? 0.19 : 0.14) ? 1.0 : 0.0;
    }
    in.hands = buildHandLists(ranges, in.board);
    std::array<HandValue, kComboCount> strength;
    showdownValues(in.board, strength);
    in.table = buildShowdownTable({in.hands[0].view(), in.hands[1].view()},
                                  [&](int p, int h) { return strength[in.hands[p].slot[h]]; });
    std::vector<bool> gone(size_t(in.hands[1].count));
    for (int h = 0; h < in.hands[1].count; ++h) gone[h] = u(rng) * 100 < zeroPercent;
    for (int j = 0; j < width; ++j) {
        in.reach.emplace_back(size_t(in.hands[1].stride));
        for (int h = 0; h < in.hands[1].count; ++h) in.reach[j][h] = gone[h] ? 0.0f : float(u(rng));
        in.values.emplace_back(size_t(in.hands[0].stride));
    }
    return in;
}

TerminalBatch batchOf(KernelInput& in, int width) {
    TerminalBatch batch;
    batch.width = width;
    for (int j = 0; j < width; ++j) {
        batch.reach[j] = in.reach[j].data();
        batch.values[j] = in.values[j].data();
        batch.stake[j] = 50.0f + j;
        batch.rake[j] = 0.05f;
    }
    return batch;
}

void showdownKernel(benchmark::State& state) {
    const int width = int(state.range(0));
    const bool raked = state.range(1) != 0;
    KernelInput in = makeInput(width, int(state.range(2)));
    TerminalBatch batch = batchOf(in, width);
    for (auto _ : state) {
        evaluateShowdowns(in.table, 0, in.hands[0].view(), in.hands[1].view(), batch, raked);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * width * in.hands[0].count);
}
BENCHMARK(showdownKernel)->ArgsProduct({{1, 2, 4, 8}, {0, 1}, {0, 50}});

void foldKernel(benchmark::State& state) {
    const int width = int(state.range(0));
    KernelInput in = makeInput(width);
    TerminalBatch batch = batchOf(in, width);
    for (auto _ : state) {
        evaluateFolds(in.hands[0].view(), in.hands[1].view(), in.board, batch);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * width * in.hands[0].count);
}
BENCHMARK(foldKernel)->Arg(1)->Arg(2)->Arg(4)->Arg(8);

// One 16-bit record of three actions: strategy, regret update and strategy accumulation.
void record16Loops(benchmark::State& state) {
    const int hands = 240, actions = 3;
    const size_t stride = size_t(paddedLength(hands));
    std::mt19937 rng(3);
    std::uniform_real_distribution<float> u(-20.0f, 20.0f);
    std::vector<uint16_t> regrets(actions * stride), sums(actions * stride);
    std::vector<float> strategy(actions * stride), temp(actions * stride), node(stride);
    std::vector<std::vector<float>> children(actions, std::vector<float>(stride));
    for (auto& c : children)
        for (float& v : c) v = u(rng);
    const float* childValues[] = {children[0].data(), children[1].data(), children[2].data()};
    float scale = 16.0f;
    for (auto _ : state) {
        regretMatch16(regrets.data(), actions, stride, hands, strategy.data());
        weightedSum(node.data(), strategy.data(), actions, stride, childValues, hands);
        updateRegrets16(regrets.data(), actions, stride, hands, childValues, node.data(), 0.5f, nullptr);
        accumulate16(sums.data(), actions, stride, hands, childValues, 0.001f, scale, 65535.0f, nullptr, temp.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * actions * hands);
}
BENCHMARK(record16Loops);

// The float records of flop and turn nodes, one loop per benchmark (argument: 0 regret matching,
// 1 regret update, 2 strategy accumulation), 1000 hands of three actions.
void recordFloatLoops(benchmark::State& state) {
    const int hands = 1000, actions = 3;
    const size_t stride = size_t(paddedLength(hands));
    std::mt19937 rng(5);
    std::uniform_real_distribution<float> u(-20.0f, 20.0f);
    std::vector<float> regrets(actions * stride), sums(actions * stride), strategy(actions * stride), node(stride);
    std::vector<std::vector<float>> children(actions, std::vector<float>(stride));
    for (auto& c : children)
        for (float& v : c) v = u(rng);
    for (float& r : regrets) r = std::max(0.0f, u(rng));
    for (float& v : node) v = u(rng);
    const float* childValues[] = {children[0].data(), children[1].data(), children[2].data()};
    for (auto _ : state) {
        switch (state.range(0)) {
            case 0: regretMatch(regrets.data(), actions, stride, hands, strategy.data()); break;
            case 1: updateRegrets(regrets.data(), actions, stride, hands, childValues, node.data(), nullptr); break;
            default:
                for (int a = 0; a < actions; ++a)
                    accumulate(sums.data() + a * stride, childValues[a], 0.001f, hands, nullptr);
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * actions * hands);
}
BENCHMARK(recordFloatLoops)->DenseRange(0, 2);

}  // namespace
