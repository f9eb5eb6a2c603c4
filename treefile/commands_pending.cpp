// Commands of this subsystem that are not built yet: each answers that it is not available.
// A server client has no file of its own to describe, so show_metadata already refuses there.
#include "treefile/commands.h"
#include "interpreter/command_table.h"
#include "interpreter/server.h"
#include "tree/tree_guards.h"

namespace qv {

void cmdLoadTree(TokenList&) { notAvailableYet(); }
void cmdDumpTree(TokenList&) { notAvailableYet(); }

void cmdShowMetadata(TokenList&) {
    requireSolverIdle();
    if (serverSessionExists()) valueError("remote server not supported");
    notAvailableYet();
}

}  // namespace qv
