// Card text: cards in either case, with or without blanks, are read by set_board and eval_hand in
// the protocol scripts; here the refusals and the written order.
#include <gtest/gtest.h>

#include "cards/card.h"
#include "error_text.h"
#include "interpreter/errors.h"

namespace qv {
namespace {

TEST(CardText, RejectsMalformedText) {
    const char* bad[] = {"Ah Ah", "AhAh", "Ahx", "A", "Ah,Kd", "10h", "Ah K", " Ah", "Xh",
                         "Ax", "1c", "Ah\tKd", "ahkdqsjhah"};
    for (const char* text : bad) EXPECT_EQ(errorOf([&] { parseCards(text); }), "ERROR: invalid card\n") << text;
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
