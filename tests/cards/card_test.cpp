#include <gtest/gtest.h>

#include "cards/card.h"
#include "interpreter/errors.h"

namespace qv {
namespace {

CardMask cards(std::initializer_list<Card> list) {
    CardMask mask = 0;
    for (Card c : list) mask |= cardBit(c);
    return mask;
}

TEST(CardText, ReadsCardsInEitherCaseWithOrWithoutBlanks) {
    const Card Ah = 38, Kd = 24, Qs = 49, Jh = 35, h2 = 26;
    struct Case { const char* text; CardMask expected; };
    const Case cases[] = {
        {"", 0},
        {"2c", cards({0})},
        {"As", cards({51})},
        {"AhKd", cards({Ah, Kd})},
        {"Ah Kd", cards({Ah, Kd})},
        {"ah  kd", cards({Ah, Kd})},
        {"AH KD ", cards({Ah, Kd})},
        {"qs jh 2H", cards({Qs, Jh, h2})},
        {"Td9c", cards({21, 7})},
    };
    for (const Case& c : cases) EXPECT_EQ(parseCards(c.text), c.expected) << c.text;
}

TEST(CardText, RejectsMalformedText) {
    const char* bad[] = {"Ah Ah", "AhAh", "Ahx", "A", "Ah,Kd", "10h", "Ah K", " Ah", "Xh",
                         "Ax", "1c", "Ah\tKd", "ahkdqsjhah"};
    for (const char* text : bad) {
        try {
            parseCards(text);
            ADD_FAILURE() << "accepted " << text;
        } catch (const ReplyError& e) {
            EXPECT_STREQ(e.what(), "ERROR: invalid card\n") << text;
        }
    }
    EXPECT_THROW(parseCards(std::string(300, 'A')), ReplyError);
}

TEST(CardText, WritesCardsInAscendingCardOrder) {
    EXPECT_EQ(cardsToText(parseCards("qs jh 2H")), "2h Jh Qs");
    EXPECT_EQ(cardsToText(0), "");
    EXPECT_EQ(cardsToText(parseCards("As2c")), "2c As");
    for (Card c = 0; c < kCardCount; ++c) EXPECT_EQ(parseCards(cardText(c)), cardBit(c));
}

}  // namespace
}  // namespace qv
