#pragma once
// The solver thread as the rest of the program sees it: starting a solve, its stop conditions,
// stopping it and waiting for it. The loop reports through a listener, so the engine knows
// nothing of the output it produces.
#include <functional>
#include <memory>
#include <vector>

#include "solver/results.h"

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

struct SolveRequest {
    int amount = 0;        // seconds or steps; 0 = no limit
    bool isSteps = false;
    bool block = false;    // run on the calling thread
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
