#include "platform/console.h"

#include <cstdio>

namespace qv {

void setConsoleColor(int attribute) {
    // Console attribute bits: 1 blue, 2 green, 4 red, 8 bright; ANSI orders red, green, blue.
    const int ansi = ((attribute & 4) ? 1 : 0) | ((attribute & 2) ? 2 : 0) | ((attribute & 1) ? 4 : 0);
    if (attribute == 7)
        fputs("\x1b[0m", stdout);
    else
        fprintf(stdout, "\x1b[%dm", ((attribute & 8) ? 90 : 30) + ansi);
}

}  // namespace qv
