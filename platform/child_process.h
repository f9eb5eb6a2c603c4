#pragma once
// Starting another instance of this program.
#include <string>
#include <vector>

namespace qv {

// Starts the program file of this process with `arguments`, its standard input from /dev/null
// and its standard output and error appended to `logPattern` with "%d" replaced by the child's
// process id, in the working directory. The child is killed when the thread that started it
// ends (on the command thread: when this process ends, however it ends). Returns the child's
// process id, or -1 when it could not be started.
int startChildProgram(const std::vector<std::string>& arguments, const std::string& logPattern);

}  // namespace qv
