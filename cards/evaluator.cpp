// The evaluator works on the suited mask: four 16-bit groups, one per suit, holding the ranks of
// that suit. From the groups s0..s3, `ranks` (their union) and `odd` (their exclusive or: ranks held
// an odd number of times) the shape of the hand follows from the card count and the number of
// distinct ranks d; for example seven cards with d = 5 are two pair when three ranks are odd and
// trips when all five are.
#include "cards/evaluator.h"

#include <array>

#include "cards/evaluator_tables.h"
#include "cards/hand_rules.h"

namespace qv {

namespace {

constexpr std::array<uint64_t, kCardCount> makeSuitedBits() {
    std::array<uint64_t, kCardCount> bits{};
    for (int card = 0; card < kCardCount; ++card)
        bits[card] = uint64_t(1) << (card % 13 + 16 * (card / 13));
    return bits;
}
constexpr std::array<uint64_t, kCardCount> kSuitedBit = makeSuitedBits();

constexpr uint32_t category(int c) { return uint32_t(c) << 24; }
constexpr uint32_t kAceLowStraight = 0x4030000;
constexpr uint32_t kAceLowStraightFlush = 0x8030000;

struct Shape {
    uint32_t s[4];
    uint32_t ranks, odd, d;
};

// Ranks held by two or more suits.
inline uint32_t twoOrMore(const Shape& h) {
    return (h.s[0] & h.s[1]) | (h.s[2] & h.s[3]) | ((h.s[0] | h.s[1]) & (h.s[2] | h.s[3]));
}

inline uint32_t quads(const Shape& h) { return h.s[0] & h.s[1] & h.s[2] & h.s[3]; }

inline uint32_t quadsValue(uint32_t quadRank, uint32_t ranks) {
    const EvaluatorTables& t = evaluatorTables;
    return category(Quads) | t.topRank[quadRank] << 16 | t.topRank[ranks ^ quadRank] << 12;
}

inline uint32_t fullHouseValue(uint32_t tripsRank, uint32_t pairRanks) {
    const EvaluatorTables& t = evaluatorTables;
    return category(FullHouse) | t.topRank[tripsRank] << 16 | t.topRank[pairRanks] << 12;
}

inline uint32_t flushGroup(const Shape& h) {
    const EvaluatorTables& t = evaluatorTables;
    for (uint32_t group : h.s)
        if (t.bitCount[group] >= 5) return group;
    return 0;
}

// Flush, straight flush or straight of five to seven cards; 0 when there is none.
inline uint32_t flushOrStraight(const Shape& h) {
    const EvaluatorTables& t = evaluatorTables;
    if (uint32_t f = flushGroup(h)) {
        uint32_t run = t.straight[f];
        return run ? run + category(Straight) : category(Flush) | t.topFive[f];
    }
    return t.straight[h.ranks];
}

uint32_t sevenCards(const Shape& h) {
    const EvaluatorTables& t = evaluatorTables;
    if (h.d >= 5)
        if (uint32_t v = flushOrStraight(h)) return v;
    switch (h.d) {
        case 7:
            return t.topFive[h.ranks];
        case 6:  // one pair, kickers: the top three of five single ranks
            return category(Pair) | t.topRank[h.ranks ^ h.odd] << 16 | (t.topFive[h.odd] >> 8) << 4;
        case 5:
            if (t.bitCount[h.odd] != 5)  // two pairs and three singles
                return category(TwoPair) | t.topFive[h.ranks ^ h.odd] << 12 | t.topRank[h.odd] << 8;
            else {
                uint32_t trips = twoOrMore(h);
                return category(Trips) | t.topRank[trips] << 16 | (t.topFive[h.ranks ^ trips] & 0xFF00);
            }
        case 4: {
            if (uint32_t q = quads(h)) return quadsValue(q, h.ranks);
            if (t.bitCount[h.odd] == 1) {  // three pairs: the lowest pair competes as the kicker
                uint32_t pairs = h.ranks ^ h.odd;
                uint32_t lowestPair = pairs & (0u - pairs);
                return category(TwoPair) | (t.topFive[pairs] >> 4) << 12 |
                       t.topRank[h.odd | lowestPair] << 8;
            }
            return fullHouseValue(twoOrMore(h) & h.odd, h.ranks ^ h.odd);
        }
        case 3:
            if (uint32_t q = quads(h)) return quadsValue(q, h.ranks);
            if (t.bitCount[h.odd] == 3)  // two trips and a single: the lower trips is the pair
                return category(FullHouse) | t.topFive[twoOrMore(h)] << 12;
            return fullHouseValue(h.odd, h.ranks ^ h.odd);
        case 2:
            return quadsValue(quads(h), h.ranks);
        default:
            return 0;
    }
}

uint32_t sixCards(const Shape& h) {
    const EvaluatorTables& t = evaluatorTables;
    if (h.d >= 5)
        if (uint32_t v = flushOrStraight(h)) return v;
    switch (h.d) {
        case 6:
            return t.topFive[h.ranks];
        case 5:
            return category(Pair) | t.topRank[h.ranks ^ h.odd] << 16 | (t.topFive[h.odd] & 0xFFF0);
        case 4:
            if (t.bitCount[h.odd] == 2)
                return category(TwoPair) | t.topFive[h.ranks ^ h.odd] << 12 | t.topRank[h.odd] << 8;
            else {
                uint32_t trips = twoOrMore(h);
                return category(Trips) | t.topRank[trips] << 16 | (t.topFive[h.ranks ^ trips] >> 4) << 8;
            }
        case 3:
            if (uint32_t q = quads(h)) return quadsValue(q, h.ranks);
            if (h.odd == 0)  // three pairs
                return category(TwoPair) | (t.topFive[h.ranks] >> 4) << 12 |
                       t.topRank[h.ranks & (0u - h.ranks)] << 8;
            return fullHouseValue(twoOrMore(h) & h.odd, h.ranks ^ h.odd);
        case 2:
            if (uint32_t q = quads(h)) return quadsValue(q, h.ranks);
            return category(FullHouse) | t.topFive[h.ranks] << 12;
        default:
            return 0;
    }
}

uint32_t fiveCards(const Shape& h) {
    const EvaluatorTables& t = evaluatorTables;
    switch (h.d) {
        case 5:
            if (uint32_t v = flushOrStraight(h)) return v;
            return t.topFive[h.ranks];
        case 4:
            return category(Pair) | t.topRank[h.ranks ^ h.odd] << 16 | t.topFive[h.odd] << 4;
        case 3:
            if (t.bitCount[h.odd] == 1)
                return category(TwoPair) | t.topFive[h.ranks ^ h.odd] << 12 | t.topRank[h.odd] << 8;
            else {
                uint32_t trips = twoOrMore(h);
                return category(Trips) | t.topRank[trips] << 16 | t.topFive[h.ranks ^ trips] << 8;
            }
        case 2:
            if (uint32_t q = quads(h)) return quadsValue(q, h.ranks);
            return fullHouseValue(h.odd, h.ranks ^ h.odd);
        default:
            return 0;
    }
}

uint32_t fourCards(const Shape& h) {
    const EvaluatorTables& t = evaluatorTables;
    switch (h.d) {
        case 4:
            return t.topFive[h.ranks] << 4;
        case 3:
            return category(Pair) | t.topRank[h.ranks ^ h.odd] << 16 | t.topFive[h.odd] << 8;
        case 2:
            if (h.odd == 0) return category(TwoPair) | t.topFive[h.ranks] << 12;
            else {
                uint32_t trips = twoOrMore(h);
                return category(Trips) | t.topRank[trips] << 16 | t.topRank[h.ranks ^ trips] << 12;
            }
        case 1:
            return category(Quads) | t.topRank[h.ranks] << 16;
        default:
            return 0;
    }
}

uint32_t threeCards(const Shape& h) {
    const EvaluatorTables& t = evaluatorTables;
    switch (h.d) {
        case 3:
            return t.topFive[h.ranks] << 8;
        case 2:
            return category(Pair) | t.topRank[h.ranks ^ h.odd] << 16 | t.topRank[h.odd] << 12;
        case 1:
            return category(Trips) | t.topRank[h.ranks] << 16;
        default:
            return 0;
    }
}

// In a short deck the ace also plays below the lowest rank: ace, L, L+1, L+2, L+3 is a straight.
uint32_t applyShortDeck(uint32_t value, const Shape& h, const HandRules& rules) {
    const uint32_t lowRun = (0xFu << rules.lowCard) | (1u << 12);
    if ((h.ranks & lowRun) != lowRun || (h.ranks & (1u << (rules.lowCard + 4)))) return value;
    const auto& position = rules.categoryToPosition;
    int found = int(value >> 24);
    if (found != Flush)
        return position[Straight] > position[found] ? kAceLowStraight : value;
    uint32_t suit = flushGroup(h);
    if ((suit & lowRun) == lowRun && position[StraightFlush] > position[Flush])
        return kAceLowStraightFlush;
    return value;
}

Shape shapeOf(const Card* cards, int count) {
    uint64_t suited = 0;
    for (int i = 0; i < count; ++i) suited |= kSuitedBit[cards[i]];
    Shape h;
    for (int s = 0; s < 4; ++s) h.s[s] = uint32_t(suited >> (16 * s)) & 0x1FFF;
    h.ranks = h.s[0] | h.s[1] | h.s[2] | h.s[3];
    h.odd = h.s[0] ^ h.s[1] ^ h.s[2] ^ h.s[3];
    h.d = evaluatorTables.bitCount[h.ranks];
    return h;
}

uint32_t standardValue(const Shape& h, int count) {
    switch (count) {
        case 7: return sevenCards(h);
        case 6: return sixCards(h);
        case 5: return fiveCards(h);
        case 4: return fourCards(h);
        default: return threeCards(h);
    }
}

}  // namespace

HandValue evaluatePlain(const Card* cards, int count) {
    if (count < 3 || count > 7) return 0;
    return standardValue(shapeOf(cards, count), count);
}

HandValue evaluateHand(const Card* cards, int count) {
    if (count < 3 || count > 7) return 0;
    const Shape h = shapeOf(cards, count);
    uint32_t value = standardValue(h, count);
    const HandRules& rules = handRules();
    if (value == 0) return 0;
    if (rules.lowCard > 0) value = applyShortDeck(value, h, rules);
    if (rules.customOrder)
        value = (value & 0xFFFFFF) | uint32_t(rules.categoryToPosition[value >> 24]) << 24;
    return value;
}

}  // namespace qv
