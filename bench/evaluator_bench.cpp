// Seven-card evaluation over random deals: the showdown preparation of every river board and the
// equity queries run this loop.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <vector>

#include "cards/card_tables.h"
#include "cards/evaluator.h"

namespace {

std::vector<qv::Card> randomHands(int handCount, int cardsPerHand) {
    std::mt19937 rng(42);
    std::vector<qv::Card> deck(qv::kCardCount), cards;
    std::iota(deck.begin(), deck.end(), 0);
    cards.reserve(size_t(handCount) * cardsPerHand);
    for (int h = 0; h < handCount; ++h) {
        std::shuffle(deck.begin(), deck.end(), rng);
        cards.insert(cards.end(), deck.begin(), deck.begin() + cardsPerHand);
    }
    return cards;
}

void evaluateRandomHands(benchmark::State& state) {
    const int cardsPerHand = int(state.range(0));
    const int handCount = 1 << 16;
    qv::buildCardTables();
    const std::vector<qv::Card> cards = randomHands(handCount, cardsPerHand);
    for (auto _ : state) {
        uint32_t sum = 0;
        for (int h = 0; h < handCount; ++h)
            sum += qv::evaluateHand(cards.data() + size_t(h) * cardsPerHand, cardsPerHand);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * handCount);
}

BENCHMARK(evaluateRandomHands)->Arg(7)->Arg(5);

}  // namespace
