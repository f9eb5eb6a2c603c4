#pragma once
// The program's entry: start-up checks and settings, the command-line commands and scripts, then
// the command loop. Returns the process exit status.

namespace qv {

int runProgram(int argc, const char* const* argv);

}  // namespace qv
