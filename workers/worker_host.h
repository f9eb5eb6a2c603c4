#pragma once
// The master's side of a shared solve: the workers hold the subgames below the first street
// and this process keeps the first street. Each subgame belongs to one worker for as long as the
// worker list stays: the subgames are dealt out once, largest first, each to the worker whose
// load over weight stays lowest, so every pass sends a worker the same subgames and the worker's
// stores keep learning them. All-in jobs hold no stores and are dealt out afresh every pass.
#include <memory>

#include "solver/subgame_host.h"
#include "workers/worker_list.h"

namespace qv {

// A host for the given workers, to be installed with setSubgameHost.
std::shared_ptr<SubgameHost> makeWorkerHost(std::shared_ptr<WorkerList> workers);

// Raises RemoteFailure unless every worker holds a tree equal to `state` (asked with
// get_worker_data).
void checkWorkersReady(WorkerList& workers, const SolverState& state);

// Strategies fetched from the workers are kept until the master's iteration count changes or a
// command line is mirrored, whichever comes first.
void forgetFetchedStrategies();

}  // namespace qv
