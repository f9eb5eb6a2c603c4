// Commands of this subsystem that are not built yet: each answers that it is not available.
#include "tree/commands.h"
#include "interpreter/command_table.h"

namespace qv {

void cmdForget(TokenList&) { notAvailableYet(); }
void cmdRebuildForgottenStreets(TokenList&) { notAvailableYet(); }
void cmdSolveAllSplits(TokenList&) { notAvailableYet(); }

}  // namespace qv
