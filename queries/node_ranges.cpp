#include "queries/node_ranges.h"

#include <array>
#include <cmath>
#include <limits>

#include "cards/combo_tables.h"
#include "interpreter/errors.h"
#include "solver/strategy_access.h"

namespace qv {

namespace {

constexpr double kUndefined = std::numeric_limits<double>::quiet_NaN();

using RangePair = std::array<std::vector<double>, 2>;

// Multiplies in the decisions of the steps whose level lies in [first, last).
void applySteps(SolverState& state, const std::vector<PathStep>& steps, int first, int last, int turn,
                int river, RangePair& ranges) {
    for (const PathStep& step : steps) {
        if (step.level < first || step.level >= last) continue;
        std::vector<std::vector<float>> strategy = nodeAverageStrategy(state, step.node, turn, river);
        if (strategy.empty()) throw EngineError("incorrect path");
        std::vector<double>& range = ranges[step.player];
        const std::vector<float>& taken = strategy[size_t(step.action)];
        for (int s = 0; s < kComboCount; ++s) range[s] *= taken[s];
    }
}

RangePair startingRanges(const SolverState& state) {
    return {state.definition().ranges[0], state.definition().ranges[1]};
}

bool inPlay(const SolverState& state, int player, int slot, CardMask board) {
    return state.definition().ranges[player][slot] > 0 && !(cardTables().maskOfSlot[slot] & board);
}

// Sum over defined combos of player 0's range times the compatible range of player 1.
double jointReach(const SolverState& state, const RangePair& ranges, CardMask board) {
    std::array<std::vector<double>, 2> live;
    for (int p = 0; p < 2; ++p) {
        live[p].assign(kComboCount, 0.0);
        for (int s = 0; s < kComboCount; ++s)
            if (inPlay(state, p, s, board) && !std::isnan(ranges[p][s])) live[p][s] = ranges[p][s];
    }
    std::vector<double> compatible = compatibleWeights(live[1]);
    double total = 0;
    for (int s = 0; s < kComboCount; ++s) total += live[0][s] * compatible[s];
    return total;
}

int dealtLevel(const SolverState& state, const TreePoint& point) {
    return findPointSlot(state, point).level;
}

// The card dealt at level 1 (the turn of a flop tree, else the river) and at level 2.
int firstDealt(const SolverState& state, const TreePoint& point) {
    return state.firstStreet() == 1 ? point.turn : point.river;
}

double dealtProbability(const SolverState& state, const TreePoint& point, int level) {
    double probability = 1;
    if (level >= 1) probability *= dealProbability(state, pointBoard(state, point, 0), firstDealt(state, point));
    if (level >= 2) probability *= dealProbability(state, pointBoard(state, point, 1), point.river);
    return probability;
}

}  // namespace

std::vector<double> compatibleWeights(const std::vector<double>& weights) {
    const CardTables& t = cardTables();
    double total = 0;
    std::array<double, kCardCount> byCard{};
    for (int s = 0; s < kComboCount; ++s) {
        total += weights[s];
        byCard[t.cardsOfSlot[s][0]] += weights[s];
        byCard[t.cardsOfSlot[s][1]] += weights[s];
    }
    std::vector<double> out(kComboCount);
    for (int s = 0; s < kComboCount; ++s)
        out[s] = total - byCard[t.cardsOfSlot[s][0]] - byCard[t.cardsOfSlot[s][1]] + weights[s];
    return out;
}

double dealProbability(const SolverState& state, CardMask board, int card) {
    if (card < 0 || (board & cardBit(card))) return 0;
    const int low = treeLowCard(state);
    if (rankOf(card) < low) return 0;
    // Of the 52 - 4L cards in play, the board and both players' hole cards are out.
    const int unseen = (cardCount(board) == 3 ? 45 : 44) - 4 * low;
    double probability = 1.0 / unseen;
    const std::vector<double>& deck = state.definition().deck;
    if (deck.empty()) return probability;
    if (!(deck[size_t(card)] > 0)) return 0;
    double total = 0;
    int dealable = 0;
    for (Card c = 0; c < kCardCount; ++c) {
        if ((board & cardBit(c)) || rankOf(c) < low) continue;
        total += deck[size_t(c)];
        ++dealable;
    }
    return probability * deck[size_t(card)] * dealable / total;
}

std::vector<double> rangeAtPoint(SolverState& state, const TreePoint& point, int player) {
    RangePair ranges = startingRanges(state);
    applySteps(state, pathSteps(state, point.node), 0, 3, point.turn, point.river, ranges);
    // Combos holding a card dealt on the way cannot be here, whether or not the player acted since.
    const CardMask board = pointBoard(state, point, dealtLevel(state, point));
    for (int s = 0; s < kComboCount; ++s)
        if (cardTables().maskOfSlot[s] & board) ranges[player][s] = kUndefined;
    return ranges[player];
}

double reachProbability(SolverState& state, const TreePoint& point, int player) {
    const std::vector<double> range = rangeAtPoint(state, point, player);
    const std::vector<double>& start = state.definition().ranges[player];
    double reached = 0, total = 0;
    for (int s = 0; s < kComboCount; ++s) {
        if (std::isnan(range[s])) continue;
        reached += range[s];
        total += start[s];
    }
    return total > 0 ? reached / total : 0;
}

std::vector<double> pointReach(SolverState& state, const TreePoint& point, int player) {
    const int level = dealtLevel(state, point);
    const CardMask board = pointBoard(state, point, level);
    const double dealt = dealtProbability(state, point, level);
    std::vector<double> mine = rangeAtPoint(state, point, player);
    std::vector<double> theirs = rangeAtPoint(state, point, 1 - player);
    for (int s = 0; s < kComboCount; ++s)
        if (!inPlay(state, 1 - player, s, board) || std::isnan(theirs[s])) theirs[s] = 0;
    const std::vector<double> compatible = compatibleWeights(theirs);
    std::vector<double> reach(kComboCount, kUndefined);
    for (int s = 0; s < kComboCount; ++s) {
        if (!inPlay(state, player, s, board)) continue;
        reach[s] = std::isnan(mine[s]) ? 0 : dealt * mine[s] * compatible[s];
    }
    return reach;
}

double totalReach(SolverState& state, const TreePoint& point) {
    double total = 0;
    for (double r : pointReach(state, point, 0))
        if (!std::isnan(r)) total += r;
    return total;
}

double globalFrequency(SolverState& state, const TreePoint& point) {
    const double root = totalReach(state, TreePoint{});
    return root > 0 ? totalReach(state, point) / root : 0;
}

double lineFrequency(SolverState& state, const TreePoint& point) {
    // Summing over every card would solve every dropped subgame on the way.
    if (state.subgames().droppedStreet() >= 0) return 1;
    const int level = dealtLevel(state, point);
    if (level == 0) return globalFrequency(state, point);
    const double root = totalReach(state, TreePoint{});
    if (!(root > 0)) return 0;
    const std::vector<PathStep> steps = pathSteps(state, point.node);
    RangePair first = startingRanges(state);
    applySteps(state, steps, 0, 1, -1, -1, first);
    const CardMask board = firstUserBoard(state);
    const bool flopTree = state.firstStreet() == 1;
    double total = 0;
    for (Card a = 0; a < kCardCount; ++a) {
        const double pa = dealProbability(state, board, a);
        if (!(pa > 0)) continue;
        TreePoint dealt = point;
        (flopTree ? dealt.turn : dealt.river) = a;
        RangePair second = first;
        applySteps(state, steps, 1, 2, dealt.turn, dealt.river, second);
        if (level == 1) {
            total += pa * jointReach(state, second, board | cardBit(a));
            continue;
        }
        for (Card b = 0; b < kCardCount; ++b) {
            const double pb = dealProbability(state, board | cardBit(a), b);
            if (!(pb > 0)) continue;
            dealt.river = b;
            RangePair third = second;
            applySteps(state, steps, 2, 3, dealt.turn, dealt.river, third);
            total += pa * pb * jointReach(state, third, board | cardBit(a) | cardBit(b));
        }
    }
    return total / root;
}

}  // namespace qv
