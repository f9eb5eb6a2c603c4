#include "workers/worker_role.h"

#include "interpreter/reply.h"
#include "workers/worker_list.h"

namespace qv {

WorkerRole& workerRole() {
    static WorkerRole role;
    return role;
}

void requireUnsharedSolve() {
    if (hasWorkers() || workerRole().initialised) valueError("not available in a shared solve");
}

}  // namespace qv
