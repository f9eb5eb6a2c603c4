// Commands of this subsystem that are not built yet: each answers that it is not available.
#include "interpreter/commands.h"
#include "interpreter/command_table.h"

namespace qv {

void cmdIsReady(TokenList&) { notAvailableYet(); }
void cmdSolverTime(TokenList&) { notAvailableYet(); }
void cmdShowSettings(TokenList&) { notAvailableYet(); }
void cmdSetThreads(TokenList&) { notAvailableYet(); }
void cmdSetPriorityClass(TokenList&) { notAvailableYet(); }
void cmdSetInfoFreq(TokenList&) { notAvailableYet(); }
void cmdSkipIfDone(TokenList&) { notAvailableYet(); }
void cmdLoadScript(TokenList&) { notAvailableYet(); }
void cmdStdoutredi(TokenList&) { notAvailableYet(); }
void cmdStdoutrediAppend(TokenList&) { notAvailableYet(); }
void cmdStdoutback(TokenList&) { notAvailableYet(); }
void cmdGetInstructionSet(TokenList&) { notAvailableYet(); }
void cmdSetScheduler(TokenList&) { notAvailableYet(); }
void cmdEnableAvx512(TokenList&) { notAvailableYet(); }
void cmdEnableNuma(TokenList&) { notAvailableYet(); }
void cmdEnableRiverStrategy(TokenList&) { notAvailableYet(); }
void cmdEnableUiNotifications(TokenList&) { notAvailableYet(); }
void cmdEnableProgressBar(TokenList&) { notAvailableYet(); }
void cmdSleep(TokenList&) { notAvailableYet(); }
void cmdTakeABreak(TokenList&) { notAvailableYet(); }
void cmdRepeat(TokenList&) { notAvailableYet(); }
void cmdEcho(TokenList&) { notAvailableYet(); }
void cmdIgnoreMemCheck(TokenList&) { notAvailableYet(); }
void cmdConnect(TokenList&) { notAvailableYet(); }
void cmdDisconnect(TokenList&) { notAvailableYet(); }
void cmdShowCpuInfo(TokenList&) { notAvailableYet(); }
void cmdSetSimdLevel(TokenList&) { notAvailableYet(); }
void cmdSetEvalMode(TokenList&) { notAvailableYet(); }
void cmdSetEvalCap(TokenList&) { notAvailableYet(); }
void cmdSetEvalFlag(TokenList&) { notAvailableYet(); }
void cmdSetPrefetchMode(TokenList&) { notAvailableYet(); }
void cmdSetPrecision(TokenList&) { notAvailableYet(); }
void cmdSetMustUseHoleCards(TokenList&) { notAvailableYet(); }
void cmdEnableAdaptivePrecision(TokenList&) { notAvailableYet(); }
void cmdGetValue(TokenList&) { notAvailableYet(); }
void cmdGetAllValues(TokenList&) { notAvailableYet(); }
void cmdSetValue(TokenList&) { notAvailableYet(); }
void cmdDefaultValue(TokenList&) { notAvailableYet(); }
void cmdVerifyValue(TokenList&) { notAvailableYet(); }
void cmdIfMatch(TokenList&) { notAvailableYet(); }
void cmdSetEndString(TokenList&) { notAvailableYet(); }
void cmdListAlgorithms(TokenList&) { notAvailableYet(); }
void cmdSetAlgorithm(TokenList&) { notAvailableYet(); }
void cmdGetCurrAlg(TokenList&) { notAvailableYet(); }
void cmdSetAlwaysRecalc(TokenList&) { notAvailableYet(); }
void cmdEnablePerfCounters(TokenList&) { notAvailableYet(); }
void cmdHelp(TokenList&) { notAvailableYet(); }

}  // namespace qv
