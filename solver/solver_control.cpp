#include "solver/solver_control.h"

namespace qv {

bool isSolverRunning() { return false; }
void requestSolverStop() {}

}  // namespace qv
