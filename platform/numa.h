#pragma once
// NUMA topology as far as the solver's job placement needs it.
namespace qv {

// Memory nodes of the machine; 1 when the system does not tell.
int numaNodeCount();
// The memory node of the processor the calling thread runs on (0 when unknown).
int currentNumaNode();

}  // namespace qv
