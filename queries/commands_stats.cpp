// Handler of the statistics table: size and purity of the solved strategies per street.
#include <string>

#include "cards/card.h"
#include "queries/commands.h"
#include "queries/tree_point.h"
#include "solver/strategy_statistics.h"

namespace qv {

namespace {

double ratio(double part, double whole) { return whole > 0 ? part / whole : 0.0; }

template <typename Field>
void countRow(const char* name, const StrategyStatistics& stats, Field field) {
    const StreetStatistics total = stats.total();
    reply("%24s %12lld %12lld %12lld %12lld\n", name, (long long)field(stats.streets[0]),
          (long long)field(stats.streets[1]), (long long)field(stats.streets[2]), (long long)field(total));
}

template <typename Value>
void valueRow(const char* name, const char* format, const StrategyStatistics& stats, Value value) {
    const StreetStatistics total = stats.total();
    reply(format, name, value(stats.streets[0]), value(stats.streets[1]), value(stats.streets[2]), value(total));
}

}  // namespace

void cmdShowStats(TokenList& tokens) {
    SolverState& state = builtSolver();
    const double epsilon = tokens.size() > 1 ? std::stod(tokens[1]) : 0.0;
    const int selection = tokens.size() > 2 ? parsePlayer(tokens[2]) : kBothPlayers;
    const StrategyStatistics stats = strategyStatistics(state, epsilon, selection);
    const char* label = selection == kBothPlayers ? "OOP+IP" : playerName(selection);
    reply("epsilon %g (%g%%) | %s\n", epsilon, epsilon * 100, label);
    reply("%24s %12s %12s %12s %12s\n", "stat", "flop", "turn", "river", "total");
    const char* plain = "%24s %12g %12g %12g %12g\n";
    const char* percent = "%24s %11.1f%% %11.1f%% %11.1f%% %11.1f%%\n";
    countRow("decision nodes", stats, [](const StreetStatistics& s) { return s.decisionNodes; });
    countRow("canonical decisions", stats, [](const StreetStatistics& s) { return s.canonicalDecisions; });
    valueRow("infosets/decision", plain, stats,
             [](const StreetStatistics& s) { return ratio(double(s.infosets), double(s.decisionNodes)); });
    countRow("infosets", stats, [](const StreetStatistics& s) { return s.infosets; });
    countRow("infoset-actions", stats, [](const StreetStatistics& s) { return s.infosetActions; });
    valueRow("reachable infosets", percent, stats,
             [](const StreetStatistics& s) { return 100 * ratio(double(s.reachableInfosets), double(s.infosets)); });
    valueRow("pure strategies", percent, stats,
             [](const StreetStatistics& s) { return 100 * ratio(double(s.pureStrategies), double(s.infosets)); });
    valueRow("reachable pure strats", percent, stats, [](const StreetStatistics& s) {
        return 100 * ratio(double(s.reachablePure), double(s.reachableInfosets));
    });
    valueRow("weighted pure strats", percent, stats,
             [](const StreetStatistics& s) { return 100 * ratio(s.weightedPure, s.weightedReach); });
    replyEndLine();
}

}  // namespace qv
