#pragma once
// The solver thread as the rest of the program sees it.
namespace qv {

// True exactly while a background solver thread exists.
bool isSolverRunning();
// Asks a running solver to stop after the iteration in progress; does nothing when idle.
void requestSolverStop();

}  // namespace qv
