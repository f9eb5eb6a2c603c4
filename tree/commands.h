#pragma once
// Command handlers of this subsystem: betting lines, tree building, node paths, inspection and memory reports.
#include "interpreter/reply.h"

namespace qv {

void cmdShowTreeParams(TokenList& tokens);
void cmdIsTreePresent(TokenList& tokens);
void cmdSetPot(TokenList& tokens);
void cmdClearLines(TokenList& tokens);
void cmdAddLine(TokenList& tokens);
void cmdRemoveLine(TokenList& tokens);
void cmdForceLine(TokenList& tokens);
void cmdCutLine(TokenList& tokens);
void cmdBuildTree(TokenList& tokens);
void cmdFreeTree(TokenList& tokens);
void cmdShowNode(TokenList& tokens);
void cmdShowChildren(TokenList& tokens);
void cmdShowAllLines(TokenList& tokens);
void cmdShowMemory(TokenList& tokens);
void cmdEstimateSchematicTree(TokenList& tokens);
void cmdNodeCount(TokenList& tokens);
void cmdShowEffectiveStack(TokenList& tokens);
void cmdSetEffStack(TokenList& tokens);
void cmdSetRake(TokenList& tokens);
void cmdSetEvBoost(TokenList& tokens);
void cmdForget(TokenList& tokens);
void cmdRebuildForgottenStreets(TokenList& tokens);
void cmdSolveAllSplits(TokenList& tokens);
void cmdResetTreeInfo(TokenList& tokens);
void cmdAddInfoLine(TokenList& tokens);
void cmdShowTreeInfo(TokenList& tokens);

}  // namespace qv
