#pragma once
// Other processes that hold the subgames of the tree's first segment (the workers of a shared
// solve). While a host is installed, every pass over the whole tree hands it the jobs below the
// first segment, and the strategies of records below it are read from it: this process keeps
// only the first street up to date.
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

#include "interpreter/errors.h"

namespace qv {

class SolverState;
class Traversal;
struct PassJobs;

// A host that cannot deliver: a worker went away or did not answer in time. The text names it;
// the solver stops with it as the reason, a command answers it as its error.
class RemoteFailure : public EngineError {
public:
    using EngineError::EngineError;
};

class SubgameHost {
public:
    virtual ~SubgameHost() = default;
    // Runs the jobs of a pass over the whole tree and fills their output vectors.
    virtual void traverse(Traversal& traversal, const PassJobs& pass) = 0;
    // The strategy of a record held by the host, laid out as recordStrategy lays it out; false
    // when this process holds the record itself.
    virtual bool readStrategy(const SolverState& state, uint32_t node, int record, bool average, float* out) = 0;
};

// Installed and removed only while no solver runs.
void setSubgameHost(std::shared_ptr<SubgameHost> host);
SubgameHost* subgameHost();

}  // namespace qv
