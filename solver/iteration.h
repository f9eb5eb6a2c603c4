#pragma once
// One iteration of the regret minimisation over the whole tree, and the same traversal in
// evaluation mode for best responses and expected values.
#include <functional>

#include "solver/solver_state.h"

namespace qv {

struct IterationValues {
    double mean = 0;  // (IP + OOP) / 2
    double ip = 0;
    double oop = 0;
};

struct StrategyValues {
    double best = 0;   // value of the best response to the opponent's strategy (0 in training)
    double value = 0;  // value of the player's own strategy
};

// Called after each pass of an iteration: 0 after the IP pass, 1 after the OOP pass.
using PassListener = std::function<void(int pass)>;

struct PassSettings;

// One pass over the whole tree; values are chips per deal.
StrategyValues traverseTree(SolverState& state, const PassSettings& settings);
// IP pass then OOP pass in training mode; advances the iteration count. Values are chips relative
// to each player's half of the starting pot.
IterationValues runIteration(SolverState& state, const PassListener& listener = {});
// mode 1 trains the player's regrets and the opponent's sums; mode 0 only measures.
StrategyValues evaluateStrategies(SolverState& state, int player, int mode);

// Weight of this iteration's strategy in the average: 0 until the delay has passed.
double averagingWeight(const Tuning& tuning, int completedIterations);
// Whether river strategy sums are accumulated this iteration.
bool averagingFlag(int strategyCompression, int completedIterations, int delay);
// The delay chosen when a solve starts from iteration 0.
int chooseAveragingDelay(const SolverState& state, double accuracyChips, double accuracyFraction);

}  // namespace qv
