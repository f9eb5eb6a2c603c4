#pragma once
// Command handlers of this subsystem: master and worker commands.
#include "interpreter/reply.h"

namespace qv {

void cmdConnectToWorkers(TokenList& tokens);
void cmdInitWorker(TokenList& tokens);
void cmdGetWorkerData(TokenList& tokens);
void cmdGetWorkerStrategy(TokenList& tokens);
void cmdPing(TokenList& tokens);
void cmdTraverseSubgames(TokenList& tokens);
void cmdSpawn(TokenList& tokens);

}  // namespace qv
