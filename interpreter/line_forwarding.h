#pragma once
// A master with connected workers passes the command lines it reads from standard input and from
// scripts on to them. The workers subsystem installs the forwarder; without one nothing is sent.
#include <string>

#include "interpreter/reply.h"

namespace qv {

using LineForwarder = void (*)(const std::string& line, const TokenList& tokens);

void setLineForwarder(LineForwarder forwarder);
void forwardLine(const std::string& line, const TokenList& tokens);

}  // namespace qv
