#include "solver/iteration.h"

#include <algorithm>
#include <cmath>

#include "solver/math_functions.h"
#include "solver/pass.h"
#include "solver/scratch.h"
#include "solver/vector_ops.h"

namespace qv {

StrategyValues traverseTree(SolverState& state, const PassSettings& settings) {
    const int p = settings.traverser;
    ScratchStack& scratch = threadScratch();
    ScratchScope scope(scratch);
    const HandList& mine = state.hands(p);
    PassStart start;
    handsAt(state, 0, 0, start.hands);
    start.reach = state.hands(1 - p).weight.data();
    float* value = scratch.take<float>(size_t(mine.stride));
    float* best = settings.training ? nullptr : scratch.take<float>(size_t(mine.stride));
    runPass(state, settings, start, value, best);

    const double deals = state.pairWeight() > 0 ? state.pairWeight() : 1.0;
    StrategyValues result;
    result.value = dotProduct(mine.weight.data(), value, mine.count) / deals;
    if (best) result.best = dotProduct(mine.weight.data(), best, mine.count) / deals;
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
    v.ip = traverseTree(state, passSettings(state, settings, 1, true)).value;
    if (listener) listener(0);
    v.oop = traverseTree(state, passSettings(state, settings, 0, true)).value;
    if (listener) listener(1);
    state.setIteration(state.iteration() + 1);
    state.setFlag(SolverState::NewTree, false);
    v.mean = (v.ip + v.oop) * 0.5;
    return v;
}

StrategyValues evaluateStrategies(SolverState& state, const SolverSettings& settings, int player, int mode) {
    return traverseTree(state, passSettings(state, settings, player, mode != 0));
}

}  // namespace qv
