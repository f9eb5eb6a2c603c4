#pragma once
// Command handlers of this subsystem: compression, solver control, results, locking and partial solves.
#include "interpreter/reply.h"

namespace qv {

void cmdSetRecalcAccuracy(TokenList& tokens);
void cmdGo(TokenList& tokens);
void cmdStop(TokenList& tokens);
void cmdCalcResults(TokenList& tokens);
void cmdWaitForSolver(TokenList& tokens);
void cmdSetAccuracy(TokenList& tokens);
void cmdLockNode(TokenList& tokens);
void cmdUnlockNode(TokenList& tokens);
void cmdSetStrategy(TokenList& tokens);
void cmdComboLockNode(TokenList& tokens);
void cmdSolvePartial(TokenList& tokens);
void cmdExploPartial(TokenList& tokens);
void cmdSetCompression(TokenList& tokens);
void cmdGetActualCompression(TokenList& tokens);
void cmdShowPerfCounters(TokenList& tokens);

}  // namespace qv
