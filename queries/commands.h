#pragma once
// Command handlers of this subsystem: strategy, range, EV and frequency queries.
#include "interpreter/reply.h"

namespace qv {

void cmdShowStrategy(TokenList& tokens);
void cmdShowStrategyPp(TokenList& tokens);
void cmdShowLockedCombos(TokenList& tokens);
void cmdShowRange(TokenList& tokens);
void cmdShowProbs(TokenList& tokens);
void cmdShowStats(TokenList& tokens);
void cmdCalcEv(TokenList& tokens);
void cmdCalcEvPp(TokenList& tokens);
void cmdCalcEvLine(TokenList& tokens);
void cmdCalcLineFreq(TokenList& tokens);
void cmdCalcGlobalFreq(TokenList& tokens);
void cmdShowRangeGrid(TokenList& tokens);

}  // namespace qv
