#pragma once
// Command handlers of this subsystem: cards, ranges, board, isomorphism, evaluator, categories and equities.
#include "interpreter/reply.h"

namespace qv {

void cmdShowHandOrder(TokenList& tokens);
void cmdSetIsomorphism(TokenList& tokens);
void cmdSetRange(TokenList& tokens);
void cmdSetBoard(TokenList& tokens);
void cmdCalcEq(TokenList& tokens);
void cmdCalcEqPp(TokenList& tokens);
void cmdCalcEqNode(TokenList& tokens);
void cmdShowCategoryNames(TokenList& tokens);
void cmdShowCategories(TokenList& tokens);
void cmdSetHandTypeOrder(TokenList& tokens);
void cmdSetLowCard(TokenList& tokens);
void cmdSetDeckDistribution(TokenList& tokens);
void cmdEvalHand(TokenList& tokens);

}  // namespace qv
