#include "workers/worker_role.h"

namespace qv {

WorkerRole& workerRole() {
    static WorkerRole role;
    return role;
}

}  // namespace qv
