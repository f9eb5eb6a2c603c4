// Commands of this subsystem that are not built yet: each answers that it is not available.
#include "solver/commands.h"
#include "interpreter/command_table.h"

namespace qv {

void cmdSetRecalcAccuracy(TokenList&) { notAvailableYet(); }
void cmdGo(TokenList&) { notAvailableYet(); }
void cmdStop(TokenList&) { notAvailableYet(); }
void cmdCalcResults(TokenList&) { notAvailableYet(); }
void cmdWaitForSolver(TokenList&) { notAvailableYet(); }
void cmdSetAccuracy(TokenList&) { notAvailableYet(); }
void cmdSolvePartial(TokenList&) { notAvailableYet(); }
void cmdExploPartial(TokenList&) { notAvailableYet(); }
void cmdSetCompression(TokenList&) { notAvailableYet(); }
void cmdGetActualCompression(TokenList&) { notAvailableYet(); }
void cmdShowPerfCounters(TokenList&) { notAvailableYet(); }

}  // namespace qv
