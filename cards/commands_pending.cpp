// Commands of this subsystem that are not built yet: each answers that it is not available.
#include "cards/commands.h"
#include "interpreter/command_table.h"

namespace qv {

void cmdShowHandOrder(TokenList&) { notAvailableYet(); }
void cmdSetIsomorphism(TokenList&) { notAvailableYet(); }
void cmdSetRange(TokenList&) { notAvailableYet(); }
void cmdSetBoard(TokenList&) { notAvailableYet(); }
void cmdCalcEq(TokenList&) { notAvailableYet(); }
void cmdCalcEqPp(TokenList&) { notAvailableYet(); }
void cmdCalcEqNode(TokenList&) { notAvailableYet(); }
void cmdShowCategoryNames(TokenList&) { notAvailableYet(); }
void cmdShowCategories(TokenList&) { notAvailableYet(); }
void cmdSetHandTypeOrder(TokenList&) { notAvailableYet(); }
void cmdSetLowCard(TokenList&) { notAvailableYet(); }
void cmdSetDeckDistribution(TokenList&) { notAvailableYet(); }
void cmdEvalHand(TokenList&) { notAvailableYet(); }

}  // namespace qv
