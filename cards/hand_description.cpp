#include "cards/hand_description.h"

#include "cards/hand_rules.h"

namespace qv {

namespace {

constexpr const char* kSingular[13] = {"deuce", "trey", "four", "five",  "six",  "seven", "eight",
                                       "nine",  "ten",  "jack", "queen", "king", "ace"};
constexpr const char* kPlural[13] = {"deuces", "treys", "fours", "fives",  "sixes", "sevens", "eights",
                                     "nines",  "tens",  "jacks", "queens", "kings", "aces"};

int nibble(HandValue value, int index) { return int(value >> (16 - 4 * index)) & 0xF; }

std::string singular(int rank) { return rank >= 0 && rank < 13 ? kSingular[rank] : "?"; }
std::string plural(int rank) { return rank >= 0 && rank < 13 ? kPlural[rank] : "?"; }

// Each word followed by one blank.
std::string singularWords(HandValue value, int first, int count) {
    std::string text;
    for (int i = first; i < first + count; ++i) text += singular(nibble(value, i)) + ' ';
    return text;
}

std::string straightWords(int top) {
    if (top != 3) {
        std::string text;
        for (int r = top; r > top - 5; --r) text += singular(r) + ' ';
        return text;
    }
    // The ace-low straight runs from the lowest rank in play.
    int low = handRules().lowCard;
    std::string text;
    for (int r = low + 3; r >= low; --r) text += singular(r) + ' ';
    return text + "ace";
}

}  // namespace

int categoryOfValue(HandValue value) {
    int position = int(value >> 24);
    return position < 9 ? handRules().positionToCategory[position] : -1;
}

std::string describeHand(HandValue value) {
    int r1 = nibble(value, 0), r2 = nibble(value, 1), r3 = nibble(value, 2);
    switch (categoryOfValue(value)) {
        case HighCard:
        case Flush:
            return singularWords(value, 0, 5);
        case Pair:
            return plural(r1) + ", " + singularWords(value, 1, 3) + "kicker";
        case TwoPair:
            return plural(r1) + " and " + plural(r2) + ", " + singular(r3) + " kicker";
        case Trips:
            return plural(r1) + ", " + singularWords(value, 1, 2) + "kicker";
        case Straight:
        case StraightFlush:
            return straightWords(r1);
        case FullHouse:
            return plural(r1) + " over " + plural(r2);
        case Quads:
            return plural(r1) + ", " + singular(r2) + " kicker";
        default:
            return "";
    }
}

}  // namespace qv
