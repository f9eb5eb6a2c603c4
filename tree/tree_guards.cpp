#include "tree/tree_guards.h"

#include "interpreter/errors.h"
#include "solver/solver_control.h"
#include "tree/built_tree.h"

namespace qv {

void requireBuiltTree() {
    if (!builtTree().present) throw EngineError("missing/incorrect tree");
}

void requireSolverIdle() {
    if (isSolverRunning()) throw EngineError("Can't do that when solver is running");
}

}  // namespace qv
