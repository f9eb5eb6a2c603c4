// Commands of this subsystem that are not built yet: each answers that it is not available.
#include "workers/commands.h"
#include "interpreter/command_table.h"

namespace qv {

void cmdConnectToWorkers(TokenList&) { notAvailableYet(); }
void cmdInitWorker(TokenList&) { notAvailableYet(); }
void cmdGetWorkerData(TokenList&) { notAvailableYet(); }
void cmdGetWorkerStrategy(TokenList&) { notAvailableYet(); }
void cmdPing(TokenList&) { notAvailableYet(); }
void cmdTraverseSubgames(TokenList&) { notAvailableYet(); }
void cmdSpawn(TokenList&) { notAvailableYet(); }

}  // namespace qv
