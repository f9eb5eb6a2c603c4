// Packed stores against the plain ones: the same operations leave the same values whether the
// records stay decoded or are coded and decoded again, in or out of open/close pairs, on one
// thread or on two working on different rows or on different records of the same rows; a scope
// begins and ends with no idle row held; packed sums keep their ratios below their limit. Coarse
// records (seven bits after a warm-up) change what solver_compression_levels prints at "max"; how
// they converge is measured by bench/solve_bench.py.
#include <gtest/gtest.h>

#include <algorithm>
#include <barrier>
#include <cmath>
#include <optional>
#include <random>
#include <thread>
#include <vector>

#include "solver/node_store.h"
#include "solver/packed_rows.h"

namespace qv {
namespace {

// Rows of five boards with hand counts that vary from board to board.
std::shared_ptr<const BoardLayout> testLayout(int rows) {
    auto layout = std::make_shared<BoardLayout>();
    for (int b = 0; b < rows * 5; ++b) layout->append(3 + (b * 7) % 20, b / 5);
    return layout;
}

// The largest decoded value of a packed record.
uint16_t largestValue(NodeStore& store, int board) {
    PackedStorage::Use use(dynamic_cast<PackedStorage&>(store), board, false);
    return *std::max_element(use.values(), use.values() + store.actions() * store.stride(board));
}

struct Step {
    int board;
    int iteration;
    std::vector<std::vector<float>> children;
    std::vector<float> node;
};

std::vector<Step> randomSteps(const BoardLayout& layout, int actions, int first, int last, uint32_t seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> value(-50.0f, 80.0f);
    std::vector<Step> steps;
    for (int iteration = 0; iteration < 45; ++iteration)
        for (int b = first; b < last; ++b) {
            Step s{b, iteration, std::vector<std::vector<float>>(size_t(actions)), std::vector<float>(32, 0.0f)};
            for (auto& c : s.children) {
                c.assign(32, 0.0f);
                for (int h = 0; h < layout.counts[b]; ++h) c[h] = value(rng) * float(1 + iteration);
            }
            steps.push_back(std::move(s));
        }
    return steps;
}

void apply(NodeStore& store, const Step& s, bool pairs) {
    std::vector<const float*> children;
    for (const auto& c : s.children) children.push_back(c.data());
    RegretUpdate update;
    update.iteration = s.iteration;
    update.warmup = 30;
    if (pairs) store.openRecord(s.board);
    store.addRegrets(s.board, children.data(), s.node.data(), update);
    if (pairs) store.closeRecord(s.board);
}

// Every record's current strategy, and its record scale when asked.
std::vector<float> strategies(NodeStore& store, bool scales = true) {
    std::vector<float> all;
    for (int b = 0; b < store.boards(); ++b) {
        std::vector<float> sigma(size_t(store.actions() * store.stride(b)));
        store.currentStrategy(b, sigma.data());
        all.insert(all.end(), sigma.begin(), sigma.end());
        if (scales) all.push_back(store.record(b).scale);
    }
    return all;
}

// Plainly, in open/close pairs, inside a scope that holds rows, and from two threads that each
// hold half of the rows in open/close pairs.
TEST(PackedStores, RegretsFollowThePlainClassExactly) {
    const auto layout = testLayout(4);
    const std::vector<Step> steps = randomSteps(*layout, 3, 0, layout->boards(), 1);
    auto plain = makeRegret16Store(3, layout, 0.37f, 0);
    for (const Step& s : steps) apply(*plain, s, false);
    const std::vector<float> expected = strategies(*plain);
    for (int way = 0; way < 4; ++way) {
        SCOPED_TRACE(way);
        auto packed = makeRegret16Store(3, layout, 0.37f, 1);
        auto work = [&](int firstRow, int endRow) {
            std::optional<HoldRowsScope> scope;
            if (way >= 2) scope.emplace();
            for (const Step& s : steps)
                if (s.board / 5 >= firstRow && s.board / 5 < endRow) apply(*packed, s, way % 2 == 1);
        };
        if (way == 3) {
            std::thread low(work, 0, 2), high(work, 2, 4);
            low.join();
            high.join();
        } else {
            work(0, 4);
        }
        EXPECT_EQ(strategies(*packed), expected);
    }
}

// The jobs of a turn subgame write the river records of one row from different threads. Here one
// thread holds the row with its records written while the other decodes, writes and stores it;
// then the first stores its copy: the row keeps both threads' records.
TEST(PackedStores, TwoThreadsOnDifferentRecordsOfOneRow) {
    const auto layout = testLayout(1);
    std::vector<Step> even, odd;
    for (Step& s : randomSteps(*layout, 2, 0, layout->boards(), 5)) (s.board % 2 ? odd : even).push_back(std::move(s));
    for (int component : {1, 2}) {
        SCOPED_TRACE(component);
        auto serial = makeRegret16Store(2, layout, 1.0f, component);
        auto packed = makeRegret16Store(2, layout, 1.0f, component);
        for (const auto* steps : {&even, &odd})
            for (const Step& s : *steps) apply(*serial, s, false);
        std::barrier<> turn(2);
        auto applyIteration = [&](const std::vector<Step>& steps, int iteration) {
            for (const Step& s : steps)
                if (s.iteration == iteration) apply(*packed, s, true);
        };
        std::thread first([&] {
            for (int iteration = 0; iteration < 45; ++iteration) {
                HoldRowsScope scope;
                applyIteration(even, iteration);
                turn.arrive_and_wait();
                turn.arrive_and_wait();
            }
        });
        std::thread second([&] {
            for (int iteration = 0; iteration < 45; ++iteration) {
                turn.arrive_and_wait();
                {
                    HoldRowsScope scope;
                    applyIteration(odd, iteration);
                }
                turn.arrive_and_wait();
            }
        });
        first.join();
        second.join();
        EXPECT_EQ(strategies(*packed), strategies(*serial));
    }
}

// A walk that holds rows solves a subgame on the way: the subgame's jobs must not read the walk's
// copies, which other threads' stores make stale, and must store what they write when they end.
TEST(PackedStores, AScopeBeginsAndEndsWithNoIdleRowHeld) {
    const auto layout = testLayout(1);
    const std::vector<Step> steps = randomSteps(*layout, 2, 0, 2, 7);
    auto plain = makeRegret16Store(2, layout, 1.0f, 0);
    auto packed = makeRegret16Store(2, layout, 1.0f, 1);
    auto record = [](NodeStore& store, int board) {
        std::vector<float> sigma(size_t(store.actions() * store.stride(board)));
        store.currentStrategy(board, sigma.data());
        return sigma;
    };
    HoldRowsScope walk;
    record(*packed, 0);  // the walk holds the row
    for (const Step& s : steps) {
        apply(*plain, s, false);
        if (s.board == 0) {
            std::thread([&] { apply(*packed, s, false); }).join();
            HoldRowsScope job;
            EXPECT_EQ(record(*packed, 0), record(*plain, 0)) << s.iteration;
        } else {
            {
                HoldRowsScope job;
                apply(*packed, s, true);
            }
            std::vector<float> seen;
            std::thread([&] { seen = record(*packed, 1); }).join();
            EXPECT_EQ(seen, record(*plain, 1)) << s.iteration;
        }
    }
}

TEST(PackedStores, SumsKeepTheirRatiosWithinTheirLimit) {
    const auto layout = testLayout(2);
    std::mt19937 rng(6);
    std::uniform_real_distribution<float> probability(0.0f, 1.0f);
    for (int component : {1, 2}) {
        SCOPED_TRACE(component);
        const uint16_t limit = 255;
        auto sums = makeSum16Store(2, layout, component, 1);
        std::vector<std::vector<double>> exact(size_t(layout->boards()), std::vector<double>(64, 0.0));
        std::vector<float> temp(64);
        for (int iteration = 1; iteration <= 60; ++iteration) {
            const float weight = std::pow(float(iteration), 1.5f);
            for (int b = 0; b < layout->boards(); ++b) {
                std::vector<float> a0(32, 0.0f), a1(32, 0.0f);
                for (int h = 0; h < layout->counts[b]; ++h) {
                    a0[h] = probability(rng) * (h + 1);  // hands reached in very different amounts
                    a1[h] = (h + 1) - a0[h];
                    exact[b][h] += double(weight) * a0[h];
                    exact[b][32 + h] += double(weight) * a1[h];
                }
                const float* add[] = {a0.data(), a1.data()};
                sums->accumulateStrategy(b, add, weight, temp.data());
                EXPECT_LE(largestValue(*sums, b), limit);
            }
        }
        for (int b = 0; b < layout->boards(); ++b) {
            std::vector<float> fallback(size_t(2 * sums->stride(b)), 0.5f), sigma(fallback.size());
            sums->averageStrategy(b, fallback.data(), sigma.data());
            const int n = layout->counts[b];
            for (int h = 0; h < n; ++h) {
                const double total = exact[b][h] + exact[b][32 + h];
                // A hand's share is exact to about one unit of the record's largest hand.
                const double tolerance = 1.5 * double(n) / (double(limit) * (h + 1)) + 1e-3;
                EXPECT_NEAR(sigma[h], exact[b][h] / total, tolerance) << b << " " << h;
            }
        }
    }
}

}  // namespace
}  // namespace qv
