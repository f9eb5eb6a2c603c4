#pragma once
// A reference evaluator for the query tests (their games are the toy trees of test_games.h with
// raises) that values one combo at a time by plain recursion over the tree and every dealt card,
// reading the solver only through its per-combo strategy interface (user suits).
#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <tuple>
#include <vector>

#include "cards/showdown_value.h"
#include "solver/iteration.h"
#include "solver/settings.h"
#include "solver/strategy_access.h"
#include "solver/test_games.h"

namespace qv::testing {

inline CardMask cardsOf(const std::vector<const char*>& cards) {
    CardMask m = 0;
    for (const char* c : cards) m |= cardBit(card(c));
    return m;
}

// The cards on the table at a node: the board with everything dealt, and which are turn and river.
struct Deal {
    CardMask board = 0;
    int turn = -1;
    int river = -1;
};

class ReferenceGame {
public:
    struct Value {
        double value = 0;  // both players on their average strategies
        double best = 0;   // the valued player on a best response
    };

    // Values combos of `player`; the opponent's combos are those of its starting range.
    ReferenceGame(SolverState& state, int player) : state_(state), game_(state.definition()), player_(player) {
        for (int o = 0; o < kComboCount; ++o)
            if (game_.ranges[1 - player][o] > 0) opponents_.push_back(o);
        index_.fill(-1);
        for (int s = 0; s < kComboCount; ++s)
            if (game_.ranges[0][s] > 0 || game_.ranges[1][s] > 0) {
                index_[s] = int(held_.size());
                held_.push_back(s);
            }
    }

    // The opponent's weights (HandSlot order) as the evaluator's reach vector.
    std::vector<double> reachOf(const std::vector<double>& weights) const {
        std::vector<double> reach;
        for (int o : opponents_) reach.push_back(std::isnan(weights[o]) ? 0.0 : weights[o]);
        return reach;
    }

    // One combo at `node` against the opponent's reach, in chips times opponent weight.
    Value evaluate(uint32_t node, const Deal& deal, int slot, const std::vector<double>& reach) {
        const GameNode& n = state_.nodes()[node];
        if (n.type == ActionType::Showdown && cardCount(deal.board) < 5) return dealNext(node, deal, slot, reach);
        if (n.type != ActionType::Decision) {
            double v = 0;
            for (size_t j = 0; j < opponents_.size(); ++j) {
                if (!(reach[j] > 0) || (maskOfSlot(opponents_[j]) & (deal.board | maskOfSlot(slot)))) continue;
                double sign = n.type == ActionType::Fold ? (n.player == player_ ? -1 : 1)
                                                         : compare(deal.board, slot, opponents_[j]);
                v += sign * n.stake * reach[j];
            }
            return {v, v};
        }
        const auto& sigma = strategy(node, deal);
        Value out;
        for (size_t a = 0; a < n.children.size(); ++a) {
            std::vector<double> next = reach;
            if (n.player != player_)
                for (size_t j = 0; j < opponents_.size(); ++j) next[j] *= finite(sigma[a][index_[opponents_[j]]]);
            const uint32_t child = n.children[a];
            const GameNode& c = state_.nodes()[child];
            Value v = c.type == ActionType::Decision && c.street > n.street ? dealNext(child, deal, slot, next)
                                                                             : evaluate(child, deal, slot, next);
            if (n.player == player_) {
                out.value += finite(sigma[a][index_[slot]]) * v.value;
                out.best = a == 0 ? v.best : std::max(out.best, v.best);
            } else {
                out.value += v.value;
                out.best += v.best;
            }
        }
        return out;
    }

    // Every card that can come next, each weighted 1 / (cards left once board and hands are out).
    Value dealNext(uint32_t node, const Deal& deal, int slot, const std::vector<double>& reach) {
        const double weight = 1.0 / (cardCount(deal.board) == 3 ? 45 : 44);
        Value out;
        for (int c = 0; c < kCardCount; ++c) {
            if ((deal.board | maskOfSlot(slot)) & cardBit(c)) continue;
            Deal next = deal;
            next.board |= cardBit(c);
            (cardCount(deal.board) == 3 ? next.turn : next.river) = c;
            std::vector<double> masked = reach;
            for (size_t j = 0; j < opponents_.size(); ++j)
                if (maskOfSlot(opponents_[j]) & cardBit(c)) masked[j] = 0;
            Value v = evaluate(node, next, slot, masked);
            out.value += weight * v.value;
            out.best += weight * v.best;
        }
        return out;
    }

    // The opponent weight a combo meets.
    double compatibleWeight(const Deal& deal, int slot, const std::vector<double>& reach) const {
        double total = 0;
        for (size_t j = 0; j < opponents_.size(); ++j)
            if (!(maskOfSlot(opponents_[j]) & (deal.board | maskOfSlot(slot)))) total += reach[j];
        return total;
    }

    // A player's range at a node: the starting range times the player's own probabilities of the
    // actions on the way there; 0 for combos the board blocks.
    std::vector<double> rangeAt(int player, uint32_t node, const Deal& deal) {
        std::vector<double> range = game_.ranges[player];
        for (uint32_t child = node; state_.nodes()[child].parent != 0xFFFFFFFFu;) {
            uint32_t parent = state_.nodes()[child].parent;
            const GameNode& p = state_.nodes()[parent];
            if (p.player == player) {
                size_t a = std::find(p.children.begin(), p.children.end(), child) - p.children.begin();
                const auto& sigma = strategy(parent, deal);
                for (int s = 0; s < kComboCount; ++s) range[s] *= index_[s] < 0 ? 0.0 : finite(sigma[a][index_[s]]);
            }
            child = parent;
        }
        for (int s = 0; s < kComboCount; ++s)
            if (maskOfSlot(s) & deal.board) range[s] = 0;
        return range;
    }

private:
    static double finite(float v) { return std::isnan(v) ? 0.0 : double(v); }

    double compare(CardMask board, int a, int b) const {
        auto ca = cardsOfSlot(a), cb = cardsOfSlot(b);
        uint32_t x = rank(board, ca[0], ca[1]), y = rank(board, cb[0], cb[1]);
        return x > y ? 1 : x < y ? -1 : 0;
    }
    uint32_t rank(CardMask board, Card a, Card b) const {
        return game_.ranker ? game_.ranker(board, a, b) : showdownValue(board, a, b);
    }

    // The node's average strategy for the combos either player holds, by index_.
    const std::vector<std::vector<float>>& strategy(uint32_t node, const Deal& deal) {
        const int street = state_.nodes()[node].street;
        auto key = std::make_tuple(node, street >= 2 ? deal.turn : -1, street == 3 ? deal.river : -1);
        auto it = cache_.find(key);
        if (it != cache_.end()) return it->second;
        std::vector<std::vector<float>> full = nodeAverageStrategy(state_, node, deal.turn, deal.river);
        std::vector<std::vector<float>> held(full.size());
        for (size_t a = 0; a < full.size(); ++a)
            for (int s : held_) held[a].push_back(full[a][s]);
        return cache_.emplace(key, std::move(held)).first->second;
    }

    SolverState& state_;
    const GameDefinition& game_;
    int player_;
    std::vector<int> opponents_;
    std::vector<int> held_;              // combos of either starting range
    std::array<int, kComboCount> index_;  // position in held_, or -1
    std::map<std::tuple<uint32_t, int, int>, std::vector<std::vector<float>>> cache_;
};

}  // namespace qv::testing
