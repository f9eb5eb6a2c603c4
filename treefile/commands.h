#pragma once
// Command handlers of this subsystem: saving, loading and describing tree files.
#include "interpreter/reply.h"

namespace qv {

void cmdLoadTree(TokenList& tokens);
void cmdDumpTree(TokenList& tokens);
void cmdShowMetadata(TokenList& tokens);

}  // namespace qv
