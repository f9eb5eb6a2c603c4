#include "solver/iteration.h"

#include <algorithm>
#include <cmath>

#include "solver/math_functions.h"
#include "solver/pass.h"
#include "solver/scratch.h"
#include "solver/vector_ops.h"

namespace qv {

namespace {

// A player's values at the root, per deal.
double valuePerDeal(const SolverState& state, int player, const float* values) {
    const HandList& hands = state.hands(player);
    const double deals = state.pairWeight() > 0 ? state.pairWeight() : 1.0;
    return dotProduct(hands.weight.data(), values, hands.count) / deals;
}

// One pass from the root of the tree; `best` may be null in training.
void passFromRoot(SolverState& state, const PassSettings& settings, float* value, float* best) {
    PassStart start;
    handsAt(state, 0, 0, start.hands);
    start.reach = state.hands(1 - settings.traverser).weight.data();
    runPass(state, settings, start, value, best);
}

}  // namespace

StrategyValues traverseTree(SolverState& state, const PassSettings& settings) {
    const int p = settings.traverser;
    ScratchStack& scratch = threadScratch();
    ScratchScope scope(scratch);
    const size_t stride = size_t(state.hands(p).stride);
    float* value = scratch.take<float>(stride);
    float* best = settings.training ? nullptr : scratch.take<float>(stride);
    passFromRoot(state, settings, value, best);
    StrategyValues result;
    result.value = valuePerDeal(state, p, value);
    if (best) result.best = valuePerDeal(state, p, best);
    return result;
}

double averagingWeight(const Tuning& tuning, int completedIterations) {
    if (completedIterations <= tuning.averagingDelay) return 0.0;
    return std::min(averagingPower(double(completedIterations - tuning.averagingDelay), tuning.exponent), tuning.cap);
}

bool averagingFlag(int strategyCompression, int completedIterations, int delay) {
    if (strategyCompression == 0) return true;
    const int k = completedIterations - delay - 1;
    if (k < 0) return false;
    return k <= 6 || k % 7 == 0;
}

int chooseAveragingDelay(const SolverState& state, double accuracyChips, double accuracyFraction) {
    if (accuracyChips > 0 && state.counts().decision >= 1000) {
        if (accuracyFraction <= 0.0015001) return 360;
        if (accuracyFraction <= 0.0025001) return 260;
    }
    return 60;
}

IterationValues runIteration(SolverState& state, const SolverSettings& settings, const PassListener& listener) {
    IterationValues v;
    const PassSettings passes[2] = {passSettings(state, settings, 0, true), passSettings(state, settings, 1, true)};
    ScratchStack& scratch = threadScratch();
    ScratchScope scope(scratch);
    float* const values[2] = {scratch.take<float>(size_t(state.hands(0).stride)),
                              scratch.take<float>(size_t(state.hands(1).stride))};
    if (runPassesShared(state, passes, values)) {
        if (listener) listener(0), listener(1);
    } else {
        passFromRoot(state, passes[1], values[1], nullptr);
        if (listener) listener(0);
        passFromRoot(state, passes[0], values[0], nullptr);
        if (listener) listener(1);
    }
    v.ip = valuePerDeal(state, 1, values[1]);
    v.oop = valuePerDeal(state, 0, values[0]);
    state.setIteration(state.iteration() + 1);
    state.setFlag(SolverState::NewTree, false);
    v.mean = (v.ip + v.oop) * 0.5;
    return v;
}

StrategyValues evaluateStrategies(SolverState& state, const SolverSettings& settings, int player, int mode) {
    return traverseTree(state, passSettings(state, settings, player, mode != 0));
}

}  // namespace qv
