#include "cards/range_setup.h"

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "cards/combo_tables.h"
#include "cards/hand_rules.h"
#include "interpreter/errors.h"

namespace qv {

namespace {

[[noreturn]] void incorrectArgument() { throw EngineError("incorrect or missing argument"); }

bool belowLowCard(Card card) { return rankOf(card) < handRules().lowCard; }

// One flop, turn or river piece must come to exactly `expected` cards.
CardMask boardPiece(const std::string& text, int expected) {
    CardMask mask = parseCards(text);
    if (cardCount(mask) != expected) incorrectArgument();
    return mask;
}

}  // namespace

// The solver holds weights and reaches as floats and multiplies an OOP weight by an IP weight over
// all pairs of combos: from about 1e18 on, a turn solve overflows into NaN. Weights up to this
// bound keep those products far inside a float (a departure: any finite weight used to be taken).
constexpr double kLargestWeight = 1e9;

double parseWeight(const std::string& token) {
    double value = std::stod(token);
    if (!(std::fabs(value) <= kLargestWeight)) throw std::out_of_range("weight out of range");
    return value;
}

RangeReport setRange(GameSetup& setup, int player, const std::vector<double>& comboWeights) {
    std::vector<double> weights = toSlotOrder(comboWeights);
    const CardTables& t = cardTables();
    RangeReport report{DBL_MAX, -DBL_MAX, 0, 0};
    for (HandSlot slot = 0; slot < kComboCount; ++slot) {
        double& w = weights[slot];
        if (w > 0 && w < kRoundToZeroBelow) {
            w = 0;
            ++report.roundedToZero;
        }
        if (handRules().lowCard > 0 &&
            (belowLowCard(t.cardsOfSlot[slot][0]) || belowLowCard(t.cardsOfSlot[slot][1])))
            w = 0;
        report.smallest = std::min(report.smallest, w);
        report.largest = std::max(report.largest, w);
        if (w > 0) ++report.nonzero;
    }
    setup.ranges[player] = std::move(weights);
    return report;
}

BoardState parseBoard(const std::vector<std::string>& args) {
    std::vector<std::string> pieces;
    if (args.size() == 1) {
        const std::string& text = args[0];
        if (text.size() != 6 && text.size() != 8 && text.size() != 10) incorrectArgument();
        for (size_t i = 0; i < text.size(); i += 2) pieces.push_back(text.substr(i, 2));
    } else if (args.size() >= 3 && args.size() <= 5) {
        pieces = args;
    } else {
        incorrectArgument();
    }
    BoardState board;
    CardMask flop = 0;
    for (int i = 0; i < 3; ++i) flop |= parseCards(pieces[i]);
    if (cardCount(flop) != 3) incorrectArgument();
    board.flop = flop;
    if (pieces.size() > 3) board.turn = boardPiece(pieces[3], 1);
    if (pieces.size() > 4) board.river = boardPiece(pieces[4], 1);
    if (cardCount(boardMask(board)) < int(pieces.size())) throw EngineError("duplicate cards");
    for (CardMask rest = boardMask(board); rest; rest &= rest - 1)
        if (belowLowCard(lowestCard(rest))) throw EngineError("invalid card");
    return board;
}

CardMask boardMask(const BoardState& board) { return board.flop | board.turn | board.river; }

void setDeckDistribution(GameSetup& setup, const std::vector<double>& cardWeights) {
    if (cardWeights.size() != size_t(kCardCount)) incorrectArgument();
    double sum = 0;
    for (double w : cardWeights) sum += w;
    if (!(sum > kWeightTolerance)) incorrectArgument();
    for (int c = 0; c < kCardCount; ++c) setup.deck.weights[c] = cardWeights[c];
    setup.deck.inUse = true;
    setup.flopIsomorphism = false;
    setup.turnIsomorphism = false;
}

}  // namespace qv
