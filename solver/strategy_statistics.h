#pragma once
// How large the solved game is and how pure its strategies are, per street: one walk over every
// decision node at every stored board state, counting a stored state as many times as the board
// states it stands for under suit isomorphism.
#include <array>
#include <cstdint>

#include "solver/solver_state.h"

namespace qv {

struct StreetStatistics {
    int64_t decisionNodes = 0;       // weighted by multiplicity
    int64_t canonicalDecisions = 0;  // each stored decision once
    int64_t infosets = 0;            // hands the board leaves to the acting player, times multiplicity
    int64_t infosetActions = 0;
    int64_t reachableInfosets = 0;   // hands whose reach exceeds epsilon
    int64_t pureStrategies = 0;      // hands with exactly one action above epsilon
    int64_t reachablePure = 0;
    double weightedReach = 0;
    double weightedPure = 0;

    StreetStatistics& operator+=(const StreetStatistics& other);
};

struct StrategyStatistics {
    std::array<StreetStatistics, 3> streets;  // flop, turn, river
    StreetStatistics total() const;
};

constexpr int kBothPlayers = -1;

// `selection` is 0, 1 or kBothPlayers. A hand's reach is its starting weight times the acting
// player's own probabilities along the way; strategies are the averages once averaging has begun,
// before that the current strategies with an even split where a hand has no regret yet.
// Strategies of a dropped street are solved again as the walk reaches them.
StrategyStatistics strategyStatistics(SolverState& state, double epsilon, int selection);

}  // namespace qv
