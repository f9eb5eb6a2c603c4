// Commands of this subsystem that are not built yet: each answers that it is not available.
#include "queries/commands.h"
#include "interpreter/command_table.h"

namespace qv {

void cmdShowStrategy(TokenList&) { notAvailableYet(); }
void cmdShowStrategyPp(TokenList&) { notAvailableYet(); }
void cmdShowLockedCombos(TokenList&) { notAvailableYet(); }
void cmdShowRange(TokenList&) { notAvailableYet(); }
void cmdShowProbs(TokenList&) { notAvailableYet(); }
void cmdShowStats(TokenList&) { notAvailableYet(); }
void cmdCalcEv(TokenList&) { notAvailableYet(); }
void cmdCalcEvPp(TokenList&) { notAvailableYet(); }
void cmdCalcEvLine(TokenList&) { notAvailableYet(); }
void cmdCalcLineFreq(TokenList&) { notAvailableYet(); }
void cmdCalcGlobalFreq(TokenList&) { notAvailableYet(); }
void cmdShowRangeGrid(TokenList&) { notAvailableYet(); }

}  // namespace qv
