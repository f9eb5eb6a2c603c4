#include "platform/fatal_exit.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace qv {

void fatalExit(const char* format, ...) {
    va_list args;
    va_start(args, format);
    vfprintf(stdout, format, args);
    va_end(args);
    fflush(stdout);
    // Other threads may still be running: skip the static destructors they could be using.
    std::_Exit(1);
}

}  // namespace qv
