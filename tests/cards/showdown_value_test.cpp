// Showdown values under each hole-card rule.
#include <gtest/gtest.h>

#include "cards/hand_rules.h"
#include "cards/showdown_value.h"
#include "card_test_text.h"

namespace qv {
namespace {

TEST(ShowdownValue, FollowsTheHoleCardRule) {
    struct Case { const char* board; const char* hole; HandValue anyFive, oneHole, bothHoles; };
    const Case cases[] = {
        {"AhKhQhJh2c", "Th3d", 0x080c0000, 0x080c0000, 0x000cba81},
        {"AhKh7h4h2c", "5h9c", 0x050cb532, 0x050cb532, 0x000cb753},
        {"AhAdAcKs2c", "3d4s", 0x030cb200, 0x030cb200, 0x030c2100},
        {"AhKhQhJhTh", "2c3d", 0x080c0000, 0x000cba91, 0x000cba10},
        {"AhKhQh2c", "JhTh", 0x080c0000, 0x000cba90, 0x080c0000},  // a turn board
    };
    for (const Case& c : cases) {
        CardMask board = parseCards(c.board);
        Card a = cardOf(std::string(c.hole, 2).c_str()), b = cardOf(c.hole + 2);
        const HandValue expected[3] = {c.anyFive, c.oneHole, c.bothHoles};
        for (int rule = 0; rule < 3; ++rule) {
            handRules().mustUseHoleCards = rule;
            EXPECT_EQ(showdownValue(board, a, b), expected[rule]) << c.board << " rule " << rule;
            EXPECT_EQ(showdownValue(board, b, a), expected[rule]);
        }
    }
    handRules().mustUseHoleCards = 0;
}

}  // namespace
}  // namespace qv
