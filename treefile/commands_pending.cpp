// Commands of this subsystem that are not built yet: each answers that it is not available.
#include "treefile/commands.h"
#include "interpreter/command_table.h"

namespace qv {

void cmdLoadTree(TokenList&) { notAvailableYet(); }
void cmdDumpTree(TokenList&) { notAvailableYet(); }
void cmdShowMetadata(TokenList&) { notAvailableYet(); }

}  // namespace qv
