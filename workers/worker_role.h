#pragma once
// This process as a worker of another one's solve: whether a master has initialised it, its
// index and every worker's weight, and what it has done for its masters.
#include <cstdint>
#include <vector>

namespace qv {

struct WorkerRole {
    bool initialised = false;
    int index = 0;
    std::vector<double> weights;
    uint64_t passes = 0;
    double traversalSeconds = 0;
};

// Command thread only.
WorkerRole& workerRole();

// Dropping a street and solving its subgames again work on the stores of one process: they fail
// with "not available in a shared solve" on a master with workers and on a worker.
void requireUnsharedSolve();

}  // namespace qv
