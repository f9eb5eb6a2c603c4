// Card text: cards in either case, with or without blanks, are read by set_board and eval_hand in
// the protocol scripts, which also write every card (a split's children) and boards in ascending
// order; here the refusals.
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

}  // namespace
}  // namespace qv
