#pragma once
// The solver thread as the rest of the program sees it: starting a solve, its stop conditions,
// stopping it and waiting for it. The loop reports through a listener, so the engine knows
// nothing of the output it produces.
#include <functional>
#include <memory>
#include <vector>

#include "solver/results.h"
#include "solver/settings.h"

namespace qv {

class SolverListener {
public:
    virtual ~SolverListener() = default;
    virtual void started() = 0;
    // After each pass of an iteration: pass 0 (IP) or 1 (OOP) of iteration `completed` + 1.
    virtual void passDone(int completed, int pass) = 0;
    virtual void iterationDone(int iterations) = 0;
    virtual void clearProgress() = 0;
    // A new report record; `cpuSeconds` is the processor time of the solve so far.
    virtual void report(const ResultRecord& record, double cpuSeconds) = 0;
    virtual void stopped(const char* reason) = 0;
};

// True exactly while a background solver thread exists.
bool isSolverRunning();
// Asks a running solver to stop after the iteration in progress; does nothing when idle.
void requestSolverStop();
// Returns at once when no solver thread exists, else when it has ended.
void waitForSolver();

// What a solve reads besides the tree, copied on the command thread when it starts. The solver
// thread reads only this copy, so set_* commands given while it runs never race it: they change
// the process-wide values, which the next solve takes (a departure from re-reading the thread
// count and the info frequency at every iteration).
struct SolveSnapshot {
    SolverSettings settings;
    double accuracyChips = 0;  // 0: no accuracy stop
    double pot = 100;          // the starting pot, from which the report's EVs are offset
};
SolveSnapshot takeSolveSnapshot();

struct SolveRequest {
    int amount = 0;        // seconds or steps; 0 = no limit
    bool isSteps = false;
    bool block = false;    // run on the calling thread
    SolveSnapshot snapshot;
};

// Held by a command while it reads or edits the solver state. The state has one user at a time:
// a background solve holds it for each iteration with its accuracy check, and a command that
// asks for it waits until the iteration in progress ends, then keeps the solver waiting until
// the pause ends. Queries therefore never meet a half-updated record, and lock edits of any
// street never interleave with an update of the record they change (the iteration reads record
// flags, lock marks and regrets without locks of its own). This goes beyond edits of river records
// taking their subgame's lock: edits of flop and turn records, and queries, wait too, since a
// record half rewritten under a running pass corrupts the solve as surely on any street. Nested
// pauses are allowed; without a background solve a pause costs one uncontended lock.
class SolverPause {
public:
    SolverPause();
    ~SolverPause();
    SolverPause(const SolverPause&) = delete;
    SolverPause& operator=(const SolverPause&) = delete;
};

// Chooses the averaging delay when the built tree's solve starts from iteration 0; returns the
// delay chosen, or -1 when the solve continues.
int prepareSolve();

// Lets a background solver begin iterating.
using ReleaseSolver = std::function<void()>;

// Starts solving the built tree. Returns false when a solver thread exists or the tree is
// incomplete. A background solver announces itself, then waits until `onStarted` (called on the
// calling thread) or whoever it hands the release to calls it: the caller can answer first.
// Without `onStarted` it starts at once.
bool startSolver(const SolveRequest& request, std::shared_ptr<SolverListener> listener,
                 const std::function<void(ReleaseSolver)>& onStarted = {});

// The reports of the solves so far, in order.
std::vector<ResultRecord> reportList();

}  // namespace qv
