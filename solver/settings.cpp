#include "solver/settings.h"

namespace qv {

SolverSettings& solverSettings() {
    static SolverSettings settings;
    return settings;
}

}  // namespace qv
