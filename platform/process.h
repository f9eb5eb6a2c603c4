#pragma once
// The running process: scheduling priority, resource use, its own path, its standard output and
// its end.
#include <string>

namespace qv {

enum class PriorityClass { Idle, BelowNormal, Normal, AboveNormal, High, Realtime };

// One step above normal for the calling thread; silently left as it is when the system refuses.
void raiseThreadPriority();
// Applies the class to every thread of the process; refusals are ignored.
void setProcessPriorityClass(PriorityClass priority);

// Idle OpenMP workers poll, then sleep. A sleeping worker needs a wake-up for the next parallel
// part, longer than the gap of some microseconds between two of them in a small game, and on a
// virtual machine a processor that went idle may take far longer to come back; polling for a
// tenth of a millisecond let workers fall asleep whenever the host held a thread up a little, and
// made river iterations on two threads a fifth slower in a busy host's hours. So workers poll for
// some milliseconds (the runtime's own count when no policy is set), and workers of a team larger
// than the processor sleep at once. The runtime reads its wait policy only when it loads, so the
// program starts itself again once with that policy (unless the environment already sets a wait
// policy; a spin count of its own is kept). Returns only when no restart happened.
void restartWithSleepingThreadWaits(const char* const* argv);

double processCpuSeconds();         // user plus system time of all threads
long peakResidentMegabytes();       // the largest resident set so far

// Unmaps the pages of the program's and the libraries' files that the process has only read (code,
// constants). They stay in the system's file cache, and a later use maps back the few it needs.
void releaseReadOnlyFilePages();
std::string programPath();          // empty when the system cannot tell

// Remembers the standard output the process started with; later calls keep the first one.
void saveStandardOutput();
// Points standard output at a file (truncated, or appended to); false leaves it unchanged.
bool redirectStandardOutput(const std::string& path, bool append);
// Points standard output back at the one remembered by saveStandardOutput().
void restoreStandardOutput();

// A write to a connection the peer has closed, or beyond the process's file size limit, fails
// with an error instead of ending the process with a signal.
void reportFailedWritesAsErrors();

// Flushes every output stream and ends the process at once, without running static destructors
// that a still-running solver thread might be using.
[[noreturn]] void endProcess(int status);

}  // namespace qv
