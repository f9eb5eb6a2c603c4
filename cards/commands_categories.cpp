// Handlers of the hand categories: their names, and every combo's made hand and draw on a board.
#include <algorithm>
#include <charconv>
#include <span>

#include "cards/combo_tables.h"
#include "cards/commands.h"
#include "cards/hand_classifier.h"

namespace qv {

namespace {

// One line of 1326 integers in ComboIndex order, each followed by a blank. `floor` lifts blocked
// entries where the line has no place for them.
void replyCategoryLine(const std::array<int8_t, kComboCount>& bySlot, int floor) {
    const std::vector<int8_t> byCombo = toComboOrder(std::span<const int8_t>(bySlot));
    std::string line;
    line.reserve(3 * kComboCount + 1);
    char digits[8];
    for (int8_t value : byCombo) {
        char* end = std::to_chars(digits, digits + sizeof digits, std::max<int>(value, floor)).ptr;
        line.append(digits, end);
        line += ' ';
    }
    line += '\n';
    replyText(line);
}

}  // namespace

void cmdShowCategoryNames(TokenList&) {
    for (int category = 0; category < kMadeHandCount; ++category)
        reply("%s ", madeHandName(category));
    reply("\n");
    for (int kind = 0; kind < kDrawKindCount; ++kind) reply("%s ", drawKindName(kind));
    reply("\n");
    replyEndLine();
}

void cmdShowCategories(TokenList& tokens) {
    const CardMask board = parseCards(joinTokens(tokens, 1, tokens.size()));
    HandCategories categories;
    classifyHands(board, categories);
    // A blocked combo's made hand reads as nothing; its draw keeps the -1 that marks it.
    replyCategoryLine(categories.madeHand, 0);
    replyCategoryLine(categories.draw, kBlockedCombo);
    replyEndLine();
}

}  // namespace qv
