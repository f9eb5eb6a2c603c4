#pragma once
// A best response written independently of the solver: a plain recursion over every board and
// every pair of combos, reading the solver's strategies only through the per-combo interface
// (user suits). The solver tests take its totals; the query tests its per-combo values and ranges
// at points inside the tree.
#include <algorithm>
#include <array>
#include <cmath>
#include <stdexcept>
#include <utility>
#include <vector>

#include "cards/showdown_value.h"
#include "solver/strategy_access.h"
#include "test_games.h"

namespace qv::testing {

class NaiveBestResponse {
public:
    NaiveBestResponse(SolverState& state, int player) : state_(state), game_(state.definition()), p_(player) {
        for (int q = 0; q < 2; ++q)
            for (int slot = 0; slot < kComboCount; ++slot)
                if (game_.ranges[q][slot] > 0 && !(maskOfSlot(slot) & firstBoard())) combos_[q].push_back(slot);
    }

    // Best-response value and strategy value of the player, in chips per deal.
    std::pair<double, double> run() {
        std::vector<double> reach;
        for (int slot : combos_[1 - p_]) reach.push_back(game_.ranges[1 - p_][slot]);
        std::vector<double> best, value;
        evaluate(0, firstBoard(), {}, reach, best, value);
        double br = 0, ev = 0, deals = 0;
        for (size_t i = 0; i < combos_[p_].size(); ++i) {
            double w = game_.ranges[p_][combos_[p_][i]];
            br += w * best[i];
            ev += w * value[i];
            deals += w * weightMet(firstBoard(), combos_[p_][i], reach);
        }
        return {br / deals, ev / deals};
    }

    // The opponent reach (per combo of combos(1 - player)) that a combo of the player meets.
    double weightMet(CardMask board, int slot, const std::vector<double>& reach) const {
        double total = 0;
        for (size_t j = 0; j < reach.size(); ++j)
            if (!(maskOfSlot(combos_[1 - p_][j]) & (board | maskOfSlot(slot)))) total += reach[j];
        return total;
    }

    // A player's range at a node (per HandSlot): the starting range times the player's own
    // probabilities of the actions on the way there; 0 for combos the board blocks.
    std::vector<double> rangeAt(int player, uint32_t node, const std::vector<int>& dealt) {
        std::vector<double> range = game_.ranges[player];
        for (uint32_t child = node; state_.nodes()[child].parent != 0xFFFFFFFFu;) {
            const uint32_t parent = state_.nodes()[child].parent;
            const GameNode& p = state_.nodes()[parent];
            if (p.player == player) {
                const size_t a = std::find(p.children.begin(), p.children.end(), child) - p.children.begin();
                const auto sigma = nodeAverageStrategy(state_, parent, turnOf(dealt), riverOf(dealt));
                for (int s = 0; s < kComboCount; ++s) range[s] *= std::isnan(sigma[a][s]) ? 0.0 : sigma[a][s];
            }
            child = parent;
        }
        for (int s = 0; s < kComboCount; ++s)
            if (maskOfSlot(s) & boardOf(dealt)) range[s] = 0;
        return range;
    }

    // The player's combos (those with a starting weight that the first board leaves).
    const std::vector<int>& combos(int player) const { return combos_[player]; }

    CardMask firstBoard() const {
        CardMask m = cardBit(game_.flop[0]) | cardBit(game_.flop[1]) | cardBit(game_.flop[2]);
        if (game_.turn >= 0) m |= cardBit(game_.turn);
        if (game_.river >= 0) m |= cardBit(game_.river);
        return m;
    }
    CardMask boardOf(const std::vector<int>& dealt) const {
        CardMask m = firstBoard();
        for (int c : dealt) m |= cardBit(c);
        return m;
    }
    int turnOf(const std::vector<int>& dealt) const {
        return game_.turn >= 0 ? game_.turn : (dealt.empty() ? -1 : dealt[0]);
    }
    int riverOf(const std::vector<int>& dealt) const {
        if (game_.river >= 0) return game_.river;
        if (game_.turn >= 0) return dealt.empty() ? -1 : dealt[0];
        return dealt.size() > 1 ? dealt[1] : -1;
    }

    // Deals one more card, then evaluates `node` on the bigger board.
    void deal(uint32_t node, CardMask board, const std::vector<int>& dealt, const std::vector<double>& reach,
              std::vector<double>& best, std::vector<double>& value) {
        const size_t n = combos_[p_].size();
        best.assign(n, 0.0);
        value.assign(n, 0.0);
        const int low = game_.lowCard.value_or(0);
        const double base = 1.0 / ((__builtin_popcountll(board) == 3 ? 45 : 44) - 4 * low);
        double deckTotal = 0, dealable = 0;
        for (int c = 0; c < kCardCount; ++c)
            if (!(board & cardBit(c)) && rankOf(c) >= low) {
                deckTotal += game_.deck.empty() ? 1.0 : game_.deck[c];
                dealable += 1;
            }
        for (int c = 0; c < kCardCount; ++c) {
            if ((board & cardBit(c)) || rankOf(c) < low) continue;
            const double weight = base * (game_.deck.empty() ? 1.0 : game_.deck[c] * dealable / deckTotal);
            if (weight == 0) continue;  // a card the deck never deals
            std::vector<double> masked = reach;
            for (size_t j = 0; j < masked.size(); ++j)
                if (maskOfSlot(combos_[1 - p_][j]) & cardBit(c)) masked[j] = 0;
            std::vector<int> more = dealt;
            more.push_back(c);
            std::vector<double> b, v;
            evaluate(node, board | cardBit(c), more, masked, b, v);
            for (size_t i = 0; i < n; ++i) {
                if (maskOfSlot(combos_[p_][i]) & cardBit(c)) continue;
                best[i] += weight * b[i];
                value[i] += weight * v[i];
            }
        }
    }

    // Best-response and strategy values of each of the player's combos at `node` on a board that
    // has the first board and the `dealt` cards, against the opponent's reach (per combo of
    // combos(1 - player)), in chips times opponent weight.
    void evaluate(uint32_t node, CardMask board, const std::vector<int>& dealt, const std::vector<double>& reach,
                  std::vector<double>& best, std::vector<double>& value) {
        const GameNode& n = state_.nodes()[node];
        const std::vector<int>& mine = combos_[p_];
        const std::vector<int>& theirs = combos_[1 - p_];
        best.assign(mine.size(), 0.0);
        value.assign(mine.size(), 0.0);
        if (n.type == ActionType::Showdown && __builtin_popcountll(board) < 5) return deal(node, board, dealt, reach, best, value);
        if (n.type != ActionType::Decision) {
            const bool fold = n.type == ActionType::Fold;
            auto strengths = [&](const std::vector<int>& list) {
                std::vector<uint32_t> out(list.size());
                for (size_t i = 0; i < list.size(); ++i) {
                    auto c = cardsOfSlot(list[i]);
                    out[i] = fold || (maskOfSlot(list[i]) & board) ? 0
                             : game_.ranker                        ? game_.ranker(board, c[0], c[1])
                                                                   : showdownValue(board, c[0], c[1]);
                }
                return out;
            };
            const std::vector<uint32_t> own = strengths(mine), other = strengths(theirs);
            for (size_t i = 0; i < mine.size(); ++i) {
                if (maskOfSlot(mine[i]) & board) continue;
                double v = 0;
                for (size_t j = 0; j < theirs.size(); ++j) {
                    if ((maskOfSlot(theirs[j]) & (board | maskOfSlot(mine[i])))) continue;
                    double sign = fold ? (n.player == p_ ? -1 : 1)  // the folder is the parent's player
                                       : own[i] > other[j] ? 1 - 2 * rake(n.stake)
                                       : own[i] < other[j] ? -1
                                                           : -rake(n.stake);
                    v += sign * n.stake * reach[j];
                }
                best[i] = value[i] = v;
            }
            return;
        }
        auto strategy = nodeAverageStrategy(state_, node, turnOf(dealt), riverOf(dealt));
        if (strategy.size() != n.children.size()) throw std::logic_error("the solver has no strategy here");
        for (size_t a = 0; a < n.children.size(); ++a) {
            uint32_t child = n.children[a];
            std::vector<double> childReach = reach;
            if (n.player != p_)
                for (size_t j = 0; j < theirs.size(); ++j) {
                    float s = strategy[a][theirs[j]];
                    childReach[j] *= std::isnan(s) ? 0.0 : s;
                }
            std::vector<double> b, v;
            const GameNode& c = state_.nodes()[child];
            if (c.type == ActionType::Decision && c.street > n.street)
                deal(child, board, dealt, childReach, b, v);
            else
                evaluate(child, board, dealt, childReach, b, v);
            for (size_t i = 0; i < mine.size(); ++i) {
                if (n.player == p_) {
                    float s = strategy[a][mine[i]];
                    value[i] += (std::isnan(s) ? 0.0 : s) * v[i];
                    best[i] = a == 0 ? b[i] : std::max(best[i], b[i]);
                } else {
                    value[i] += v[i];
                    best[i] += b[i];
                }
            }
        }
    }

    // The share of a showdown pot of 2 x stake that the house takes.
    double rake(double stake) const {
        const double fraction = state_.rakeFraction(), cap = state_.rakeCap();
        if (cap <= 0 || stake <= 0) return 0;
        return 2 * stake * fraction > cap ? cap / (2 * stake) : fraction;
    }

    SolverState& state_;
    const GameDefinition& game_;
    int p_;
    std::array<std::vector<int>, 2> combos_;
};

}  // namespace qv::testing
