#pragma once
// Exploitability and expected values of the average strategies.
#include "solver/settings.h"
#include "solver/solver_state.h"

namespace qv {

// EVs and MES are chips relative to each player's half of the starting pot; the exploitability is
// chips: half the sum of what each player's best response gains over the average strategies.
struct ResultRecord {
    int iteration = 0;
    double runningTime = 0;  // seconds
    double evOop = 0, evIp = 0;
    double mesOop = 0, mesIp = 0;
    double exploitability = 0;
};

// Evaluates both players against the average strategies now, and caches the figures.
ResultRecord measureResults(SolverState& state, const SolverSettings& settings);
// The cached figures when they belong to the current iteration of an incomplete tree; else measured.
ResultRecord computeResults(SolverState& state, const SolverSettings& settings);

}  // namespace qv
