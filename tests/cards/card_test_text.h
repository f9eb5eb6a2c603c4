#pragma once
// Card text helpers shared by the card tests.
#include <vector>

#include "cards/card.h"
#include "cards/evaluator.h"

namespace qv {

inline Card cardOf(const char* text) { return lowestCard(parseCards(text)); }

inline std::vector<Card> cardsOf(const char* text) {
    std::vector<Card> cards;
    for (CardMask m = parseCards(text); m; m &= m - 1) cards.push_back(lowestCard(m));
    return cards;
}

inline HandValue evaluateText(const char* text) {
    std::vector<Card> cards = cardsOf(text);
    return evaluateHand(cards.data(), int(cards.size()));
}

}  // namespace qv
