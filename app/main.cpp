// Program entry: start-up, then the standard-input loop.
#include <cstdio>
#include <iostream>

#include "cards/card_tables.h"
#include "interpreter/dispatch.h"
#include "interpreter/reply.h"

int main() {
    qv::printDirect("Quorvane (Brantoxel-wisp 2.0.6) build 1081 AVX2 (Jan  7 2022 00:48:01)\n");
    fflush(stdout);
    qv::buildCardTables();
    std::string line;
    while (qv::readCommandLine(std::cin, line)) {
        if (line.empty()) continue;
        qv::dispatchCommand(qv::tokenizeLine(line));
        qv::flushReply();
        fflush(stdout);
    }
    return 0;
}
