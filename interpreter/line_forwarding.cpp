#include "interpreter/line_forwarding.h"

namespace qv {

namespace {
LineForwarder installedForwarder = nullptr;
}

void setLineForwarder(LineForwarder forwarder) { installedForwarder = forwarder; }

void forwardLine(const std::string& line, const TokenList& tokens) {
    if (installedForwarder) installedForwarder(line, tokens);
}

}  // namespace qv
