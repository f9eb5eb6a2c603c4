// Commands of this subsystem that are not built yet: each answers that it is not available.
#include "cards/commands.h"
#include "interpreter/command_table.h"

namespace qv {

void cmdCalcEq(TokenList&) { notAvailableYet(); }
void cmdCalcEqPp(TokenList&) { notAvailableYet(); }
void cmdCalcEqNode(TokenList&) { notAvailableYet(); }

}  // namespace qv
