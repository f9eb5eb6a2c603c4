#include "cards/card.h"

#include <cctype>
#include <cstring>

#include "interpreter/errors.h"

namespace qv {

namespace {

// Card texts of 256 characters or more never name valid cards (52 cards and blanks fit in less).
constexpr size_t kCardTextLimit = 256;

int rankFromChar(char c) {
    const char* p = c ? std::strchr(kRankChars, c) : nullptr;
    return p ? int(p - kRankChars) : -1;
}

int suitFromUpperChar(char c) {
    switch (c) {
        case 'C': return 0;
        case 'D': return 1;
        case 'H': return 2;
        case 'S': return 3;
        default: return -1;
    }
}

[[noreturn]] void invalidCard() { throw ReplyError("ERROR: invalid card\n"); }

}  // namespace

CardMask parseCards(const std::string& text) {
    if (text.size() >= kCardTextLimit) invalidCard();
    std::string upper(text);
    for (char& c : upper) c = char(std::toupper(static_cast<unsigned char>(c)));
    CardMask mask = 0;
    size_t pos = 0;
    while (pos < upper.size()) {
        int rank = rankFromChar(upper[pos]);
        int suit = pos + 1 < upper.size() ? suitFromUpperChar(upper[pos + 1]) : -1;
        if (rank < 0 || suit < 0) invalidCard();
        CardMask bit = cardBit(13 * suit + rank);
        if (mask & bit) invalidCard();
        mask |= bit;
        pos += 2;
        while (pos < upper.size() && upper[pos] == ' ') ++pos;
    }
    return mask;
}

std::string cardText(Card card) {
    return {kRankChars[rankOf(card)], kSuitChars[suitOf(card)]};
}

std::string cardsToText(CardMask mask) {
    std::string text;
    for (CardMask rest = mask; rest; rest &= rest - 1) {
        if (!text.empty()) text += ' ';
        text += cardText(lowestCard(rest));
    }
    return text;
}

int parsePlayer(const std::string& word) {
    if (word == "OOP" || word == "hero") return 0;
    if (word == "IP" || word == "villain") return 1;
    throw EngineError("incorrect player name");
}

const char* playerName(int player) { return player == 0 ? "OOP" : "IP"; }

}  // namespace qv
