#pragma once
// Cards, card sets and players. A card is 13 x suit + rank (ranks "23456789TJQKA", suits "cdhs").
#include <cstdint>
#include <string>

namespace qv {

using Card = int;
using CardMask = uint64_t;  // bit c set for card c; bits 52..63 always clear

constexpr int kCardCount = 52;
constexpr int kComboCount = 1326;

inline int rankOf(Card card) { return card % 13; }
inline int suitOf(Card card) { return card / 13; }
inline CardMask cardBit(Card card) { return CardMask(1) << card; }

// Reads card text such as "AhKd", "Ah Kd" or "ah kd"; raises the reply "ERROR: invalid card".
CardMask parseCards(const std::string& text);
// The cards in ascending card order, each rank then suit, separated by one blank ("2h Jh Qs").
std::string cardsToText(CardMask mask);
// "OOP" and "hero" are 0, "IP" and "villain" are 1; anything else: "incorrect player name".
int parsePlayer(const std::string& word);

}  // namespace qv
