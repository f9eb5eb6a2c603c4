// Commands of this subsystem that are not built yet: each answers that it is not available.
#include "solver/commands.h"
#include "interpreter/command_table.h"

namespace qv {

void cmdSolvePartial(TokenList&) { notAvailableYet(); }
void cmdExploPartial(TokenList&) { notAvailableYet(); }

}  // namespace qv
