#pragma once
#include <istream>
#include <string>

#include "interpreter/reply.h"

namespace qv {

// Reads one line ending at LF, CR or CR LF; false at end of input with nothing read.
bool readCommandLine(std::istream& in, std::string& line);
TokenList tokenizeLine(const std::string& line);
TokenList substituteVariables(const TokenList& tokens);
// Runs one command line: flow control, substitution, lookup, argument count, handler, errors.
void dispatchCommand(const TokenList& tokens);
// Ends any skipping and label search and forgets open script levels: a new client must not
// inherit the flow state its predecessor left behind.
void resetFlowControl();

}  // namespace qv
