// A made hand is judged against what the board alone already shows: a pair is "top pair" only
// when a hole card makes it, a full house only counts when it improves on the board's own. Every
// comparison reads the rank nibbles r1..r5 of the two hand values: H for board plus combo, B for
// the board alone.
#include "cards/hand_classifier.h"

#include <bit>
#include <utility>

#include "cards/combo_tables.h"
#include "cards/evaluator.h"
#include "interpreter/errors.h"

namespace qv {

namespace {

constexpr const char* kMadeHandNames[kMadeHandCount] = {
    "nothing",    "king_high",   "ace_high",  "low_pair",    "third_pair",
    "second_pair", "underpair",  "top_pair",  "top_pair_tp", "overpair",
    "two_pair",   "trips",       "set",       "straight",    "flush",
    "fullhouse",  "top_fullhouse", "quads",   "straight_flush"};
constexpr const char* kDrawKindNames[kDrawKindCount] = {
    "no_draw", "4out_straight_draw", "8out_straight_draw", "flush_draw", "combo_draw"};

constexpr int kAceRank = 12, kKingRank = 11;

int categoryOf(HandValue value) { return int(value >> 24); }
// Rank nibble r1..r5 for i = 0..4.
int nibble(HandValue value, int i) { return int(value >> (16 - 4 * i)) & 0xF; }

struct Board {
    Card cards[7];  // the board cards, then room for an unseen card and the two hole cards
    int size;
    uint32_t ranks;  // distinct board ranks, bit r for rank r
    HandValue value;
};

Board readBoard(CardMask mask) {
    const int size = cardCount(mask);
    if (size < 3 || size > 5) throw EngineError("invalid board");
    Board board{{}, size, 0, 0};
    int n = 0;
    for (CardMask rest = mask; rest; rest &= rest - 1) {
        board.cards[n] = lowestCard(rest);
        board.ranks |= 1u << rankOf(board.cards[n]);
        ++n;
    }
    board.value = evaluatePlain(board.cards, size);
    return board;
}

// Twice the number of board ranks above the card, plus one when it pairs a board rank: 0 is above
// the whole board, 1 pairs the top rank, 2 lies between the top two ranks, and so on.
int holePosition(const Board& board, Card card) {
    const int rank = rankOf(card);
    return 2 * std::popcount(board.ranks >> (rank + 1)) + int((board.ranks >> rank) & 1);
}

MadeHand pairRule(int position) {
    switch (position) {
        case 0: return MadeHand::Overpair;
        case 1: return MadeHand::TopPair;
        case 2: return MadeHand::Underpair;
        case 3: return MadeHand::SecondPair;
        case 4:
        case 5: return MadeHand::ThirdPair;
        default: return MadeHand::LowPair;
    }
}

// The first nibble, from `from` on, in which the hand outranks the board decides: only an ace or
// a king there is worth naming.
MadeHand kickerRule(HandValue hand, HandValue board, int from = 0) {
    for (int i = from; i < 5; ++i) {
        const int rank = nibble(hand, i);
        if (rank <= nibble(board, i)) continue;
        if (rank == kAceRank) return MadeHand::AceHigh;
        if (rank == kKingRank) return MadeHand::KingHigh;
        return MadeHand::Nothing;
    }
    return MadeHand::Nothing;
}

// `first` is the combo's first card in its name (the higher card ordinal); the pair rule reads it
// when it pairs the board and the other card otherwise.
MadeHand madeHandOf(const Board& board, HandValue hand, Card first, Card second) {
    const HandValue boardValue = board.value;
    const int b = categoryOf(boardValue);
    const int firstPosition = holePosition(board, first);
    const int pairPosition = firstPosition % 2 ? firstPosition : holePosition(board, second);
    switch (categoryOf(hand)) {
        case HighCard:
            return kickerRule(hand, boardValue);
        case Pair:
            return b == HighCard ? pairRule(pairPosition) : kickerRule(hand, boardValue);
        case TwoPair:
            if (b == HighCard) return MadeHand::TwoPairs;
            if (b == Pair) return pairRule(pairPosition);
            if (nibble(hand, 0) <= nibble(boardValue, 0) && nibble(hand, 1) <= nibble(boardValue, 1))
                return kickerRule(hand, boardValue, 2);  // the board's two pairs play
            return pairRule(pairPosition);
        case Trips:
            if (b == HighCard) return MadeHand::Set;
            if (b == Pair) return MadeHand::Trips;
            return kickerRule(hand, boardValue);
        case Straight:
            if (b < Straight || hand > boardValue) return MadeHand::Straight;
            return kickerRule(hand, boardValue);
        case Flush:
            return b < Flush ? MadeHand::Flush : MadeHand::Nothing;
        case FullHouse:
            if (b < FullHouse) return MadeHand::FullHouse;
            if (nibble(hand, 0) > nibble(boardValue, 0)) return MadeHand::TopFullHouse;
            if (nibble(hand, 1) > nibble(boardValue, 1)) return MadeHand::FullHouse;
            return MadeHand::Nothing;
        case Quads:
            return b < Quads ? MadeHand::Quads : kickerRule(hand, boardValue);
        default:
            if (b < StraightFlush || hand > boardValue) return MadeHand::StraightFlush;
            return MadeHand::Nothing;
    }
}

// The ordinal 4 x rank + suit orders the cards of a combo's name.
int ordinal(Card card) { return 4 * rankOf(card) + suitOf(card); }

// H of every combo that avoids the board (0 for blocked ones), by HandSlot.
void handValues(Board& board, CardMask mask, std::array<HandValue, kComboCount>& values) {
    const CardTables& t = cardTables();
    for (HandSlot slot = 0; slot < kComboCount; ++slot) {
        if (t.maskOfSlot[slot] & mask) {
            values[slot] = 0;
            continue;
        }
        board.cards[board.size] = t.cardsOfSlot[slot][0];
        board.cards[board.size + 1] = t.cardsOfSlot[slot][1];
        values[slot] = evaluatePlain(board.cards, board.size + 2);
    }
}

// Card by card, so that B' is evaluated once per unseen card and the inner loop over the combos
// only evaluates board + card + combo.
void countOutsOf(Board& board, CardMask mask, const std::array<HandValue, kComboCount>& hands,
                 DrawOuts& out) {
    out.straight.fill(0);
    out.flush.fill(0);
    if (board.size == 5) return;
    const CardTables& t = cardTables();
    const int n = board.size;
    for (Card card = 0; card < kCardCount; ++card) {
        if (mask & cardBit(card)) continue;
        board.cards[n] = card;
        const HandValue improvedBoard = evaluatePlain(board.cards, n + 1);
        const CardMask seen = mask | cardBit(card);
        for (HandSlot slot = 0; slot < kComboCount; ++slot) {
            const int made = categoryOf(hands[slot]);
            if ((t.maskOfSlot[slot] & seen) || made > Straight) continue;
            board.cards[n + 1] = t.cardsOfSlot[slot][0];
            board.cards[n + 2] = t.cardsOfSlot[slot][1];
            const HandValue improved = evaluatePlain(board.cards, n + 3);
            if (improved <= improvedBoard) continue;
            const int category = categoryOf(improved);
            if (category == Straight && made < Straight) ++out.straight[slot];
            else if (category == Flush || category == StraightFlush) ++out.flush[slot];
        }
    }
}

}  // namespace

const char* madeHandName(int category) { return kMadeHandNames[category]; }
const char* drawKindName(int kind) { return kDrawKindNames[kind]; }

DrawKind drawKindOf(int straightOuts, int flushOuts) {
    if (straightOuts == 0) return flushOuts ? DrawKind::FlushDraw : DrawKind::NoDraw;
    if (flushOuts > 0) return DrawKind::ComboDraw;
    // One to three outs are no draw at all; two ranks of four (an open-ended or double gutshot)
    // make the eight-out draw.
    return DrawKind(straightOuts / 4);
}

void countOuts(CardMask mask, DrawOuts& out) {
    Board board = readBoard(mask);
    std::array<HandValue, kComboCount> hands;
    handValues(board, mask, hands);
    countOutsOf(board, mask, hands, out);
}

void classifyHands(CardMask mask, HandCategories& out) {
    Board board = readBoard(mask);
    std::array<HandValue, kComboCount> hands;
    handValues(board, mask, hands);
    DrawOuts outs;
    countOutsOf(board, mask, hands, outs);
    const CardTables& t = cardTables();
    for (HandSlot slot = 0; slot < kComboCount; ++slot) {
        if (t.maskOfSlot[slot] & mask) {
            out.madeHand[slot] = kBlockedCombo;
            out.draw[slot] = board.size == 5 ? int8_t(DrawKind::NoDraw) : kBlockedCombo;
            continue;
        }
        Card first = t.cardsOfSlot[slot][0], second = t.cardsOfSlot[slot][1];
        if (ordinal(second) > ordinal(first)) std::swap(first, second);
        out.madeHand[slot] = int8_t(madeHandOf(board, hands[slot], first, second));
        out.draw[slot] = int8_t(drawKindOf(outs.straight[slot], outs.flush[slot]));
    }
}

}  // namespace qv
