#include "solver/results.h"

#include "solver/iteration.h"

namespace qv {

namespace {

ResultRecord fromCache(const SolverState& state, const CachedResults& cache) {
    ResultRecord r;
    r.iteration = state.iteration();
    r.evOop = cache.ev[0];
    r.evIp = cache.ev[1];
    r.mesOop = cache.mes[0];
    r.mesIp = cache.mes[1];
    r.exploitability = cache.exploitability;
    return r;
}

}  // namespace

ResultRecord measureResults(SolverState& state, const SolverSettings& settings) {
    StrategyValues ip = evaluateStrategies(state, settings, 1, 0);
    StrategyValues oop = evaluateStrategies(state, settings, 0, 0);
    CachedResults& cache = state.results();
    cache.mes[0] = oop.best;
    cache.ev[0] = oop.value;
    cache.mes[1] = ip.best;
    cache.ev[1] = ip.value;
    cache.exploitability = 0.5 * ((oop.best + ip.best) - (oop.value + ip.value));
    cache.meanEv = 0.5 * (oop.value + ip.value);
    cache.iteration = state.iteration();
    return fromCache(state, cache);
}

ResultRecord computeResults(SolverState& state, const SolverSettings& settings) {
    CachedResults& cache = state.results();
    if (!(state.flags() & SolverState::IncompleteTree)) cache.iteration = -1;
    if (cache.iteration == state.iteration()) return fromCache(state, cache);
    return measureResults(state, settings);
}

}  // namespace qv
