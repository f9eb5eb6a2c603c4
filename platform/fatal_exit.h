#pragma once
// The end of the process when memory runs out: the message goes to standard output (where the
// controlling program reads every reply) and the process ends with status 1.
namespace qv {

[[noreturn]] void fatalExit(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace qv
