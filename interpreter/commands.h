#pragma once
// Command handlers of this subsystem: settings, switches, scripts, variables and informational replies.
#include "interpreter/reply.h"

namespace qv {

void cmdIsReady(TokenList& tokens);
void cmdSolverTime(TokenList& tokens);
void cmdShowSettings(TokenList& tokens);
void cmdSetThreads(TokenList& tokens);
void cmdSetPriorityClass(TokenList& tokens);
void cmdSetInfoFreq(TokenList& tokens);
void cmdSkipIfDone(TokenList& tokens);
void cmdLoadScript(TokenList& tokens);
void cmdStdoutredi(TokenList& tokens);
void cmdStdoutrediAppend(TokenList& tokens);
void cmdStdoutback(TokenList& tokens);
void cmdGetInstructionSet(TokenList& tokens);
void cmdSetScheduler(TokenList& tokens);
void cmdEnableAvx512(TokenList& tokens);
void cmdEnableNuma(TokenList& tokens);
void cmdEnableRiverStrategy(TokenList& tokens);
void cmdEnableUiNotifications(TokenList& tokens);
void cmdEnableProgressBar(TokenList& tokens);
void cmdSleep(TokenList& tokens);
void cmdTakeABreak(TokenList& tokens);
void cmdRepeat(TokenList& tokens);
void cmdEcho(TokenList& tokens);
void cmdIgnoreMemCheck(TokenList& tokens);
void cmdConnect(TokenList& tokens);
void cmdDisconnect(TokenList& tokens);
void cmdShowCpuInfo(TokenList& tokens);
void cmdSetSimdLevel(TokenList& tokens);
void cmdSetEvalMode(TokenList& tokens);
void cmdSetEvalCap(TokenList& tokens);
void cmdSetEvalFlag(TokenList& tokens);
void cmdSetPrefetchMode(TokenList& tokens);
void cmdSetPrecision(TokenList& tokens);
void cmdSetMustUseHoleCards(TokenList& tokens);
void cmdEnableAdaptivePrecision(TokenList& tokens);
void cmdGetValue(TokenList& tokens);
void cmdGetAllValues(TokenList& tokens);
void cmdSetValue(TokenList& tokens);
void cmdDefaultValue(TokenList& tokens);
void cmdVerifyValue(TokenList& tokens);
void cmdIfMatch(TokenList& tokens);
void cmdSetEndString(TokenList& tokens);
void cmdListAlgorithms(TokenList& tokens);
void cmdSetAlgorithm(TokenList& tokens);
void cmdGetCurrAlg(TokenList& tokens);
void cmdSetAlwaysRecalc(TokenList& tokens);
void cmdEnablePerfCounters(TokenList& tokens);
void cmdShowVersion(TokenList& tokens);
void cmdHelp(TokenList& tokens);

}  // namespace qv
