#pragma once
// Process-wide solver settings, set by the setting commands and read when a solve runs.
#include <array>
#include <cstdint>

namespace qv {

struct SolverSettings {
    int threadCount = 1;          // taken from the OpenMP runtime at start-up
    int infoFrequency = 25;       // iterations between accuracy checks and reports
    int simdLevel = 8;
    int evalMode = 3;
    int evalCap = 72;
    uint32_t evalFlags = 0;       // bit 0 = alt1
    int prefetchMode = 2;
    int scheduler = 1;            // stored only
    double precision = 0.0;
    bool adaptivePrecision = true;
    bool avx512 = false;
    int numa = 0;                 // 0 off, 1 on, 2 simulated ("fake")
    bool riverStrategy = true;
    bool uiNotifications = false;
    bool progressBar = false;
    bool perfCounters = false;
    // Target exploitability (chips) for re-solving a subgame rooted on the flop, turn or river
    // (index 1 to 3).
    std::array<double, 4> recalcAccuracy{};
};

SolverSettings& solverSettings();

}  // namespace qv
