// Program entry.
#include "interpreter/startup.h"

int main(int argc, char** argv) { return qv::runProgram(argc, argv); }
