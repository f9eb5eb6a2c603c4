#pragma once
// Cards, card sets and players. A card is 13 x suit + rank (ranks "23456789TJQKA", suits "cdhs").
#include <bit>
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
inline Card lowestCard(CardMask mask) { return std::countr_zero(mask); }
inline Card highestCard(CardMask mask) { return 63 - std::countl_zero(mask); }
inline int cardCount(CardMask mask) { return std::popcount(mask); }

constexpr const char* kRankChars = "23456789TJQKA";
constexpr const char* kSuitChars = "cdhs";

// Reads card text such as "AhKd", "Ah Kd" or "ah kd"; raises the reply "ERROR: invalid card".
CardMask parseCards(const std::string& text);
// The cards in ascending card order, each rank then suit, separated by one blank ("2h Jh Qs").
std::string cardsToText(CardMask mask);
// One card as rank character and suit character ("Ah").
std::string cardText(Card card);
// "OOP" and "hero" are 0, "IP" and "villain" are 1; anything else: "incorrect player name".
int parsePlayer(const std::string& word);
// "OOP" for 0, "IP" for 1.
const char* playerName(int player);

}  // namespace qv
